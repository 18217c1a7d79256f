#pragma once

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

// The caption area of a frameless window ("caption"): pressing it drags the
// window, through the window system so it works on X11 and Wayland alike.
class SCaption : public SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "caption")
 public:
  SCaption(UiApp& app, QWidget* parent) : SWindow(app, parent) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace keyloom::ui
