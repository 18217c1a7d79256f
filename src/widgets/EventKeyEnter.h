#pragma once

#include <QString>

#include "ui/toolkit/EventArgs.h"

namespace keyloom::widgets {

// The notification an extended edit raises for Enter. Handlers may name it
// by its number or its name; it reaches them as the toolkit's KeyEnter.
struct EventKeyEnter {
  static constexpr int kId = 10000500;
  static constexpr const char* kName = "on_key_enter";
  static constexpr ui::EventKind kKind = ui::EventKind::KeyEnter;
};

}  // namespace keyloom::widgets
