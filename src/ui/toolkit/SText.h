#pragma once

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

// A text label ("text").
class SText : public SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "text")
 public:
  SText(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
};

}  // namespace keyloom::ui
