#pragma once

#include <initializer_list>
#include <vector>

#include "ui/toolkit/EventArgs.h"

namespace keyloom::ui {

// A window's notification routing as one ordered table: each row names its
// sender, or, with a null name, an identifier range; the first row that
// matches the event's kind and sender handles it.
template <class Host>
class EventMap {
 public:
  struct Route {
    EventKind kind;
    const char* name;
    int firstId;
    int lastId;
    void (Host::*handler)(EventArgs&);
  };

  EventMap(std::initializer_list<Route> routes) : routes_(routes) {}

  // The first matching row's handler runs; false when no row matches.
  bool Dispatch(Host& host, EventArgs& event) const {
    const Route* route = Find(event);
    if (route == nullptr) return false;
    (host.*route->handler)(event);
    return true;
  }

  const Route* Find(const EventArgs& event) const {
    for (const Route& route : routes_) {
      if (route.kind != event.kind) continue;
      const bool matches = route.name != nullptr
                               ? event.senderName == QLatin1String(route.name)
                               : event.senderId >= route.firstId && event.senderId <= route.lastId;
      if (matches) return &route;
    }
    return nullptr;
  }

  const std::vector<Route>& routes() const { return routes_; }

 private:
  std::vector<Route> routes_;
};

}  // namespace keyloom::ui
