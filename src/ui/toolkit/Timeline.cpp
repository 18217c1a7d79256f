#include "ui/toolkit/Timeline.h"

#include <algorithm>

namespace keyloom::ui {

Timeline::Timeline() {
  timer_.setInterval(kTickMs);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &Timeline::Tick);
}

void Timeline::RegisterTimelineHandler(ITimelineHandler* handler) {
  if (std::find(handlers_.begin(), handlers_.end(), handler) == handlers_.end()) handlers_.push_back(handler);
  Wake();
}

void Timeline::UnregisterTimelineHandler(ITimelineHandler* handler) {
  std::erase(handlers_, handler);
  if (!AnyAnimating()) timer_.stop();
}

void Timeline::Wake() {
  if (shown_ && !timer_.isActive() && AnyAnimating()) timer_.start();
}

void Timeline::SetShown(bool shown) {
  shown_ = shown;
  if (shown)
    Wake();
  else
    timer_.stop();
}

void Timeline::Tick() {
  // A frame may unregister handlers (its own widget going away): walk a copy
  // and skip those that left.
  const std::vector<ITimelineHandler*> handlers = handlers_;
  for (ITimelineHandler* handler : handlers) {
    if (std::find(handlers_.begin(), handlers_.end(), handler) != handlers_.end()) handler->OnNextFrame();
  }
  if (!AnyAnimating()) timer_.stop();
}

bool Timeline::AnyAnimating() const {
  return std::any_of(handlers_.begin(), handlers_.end(), [](const ITimelineHandler* h) { return h->IsAnimating(); });
}

}  // namespace keyloom::ui
