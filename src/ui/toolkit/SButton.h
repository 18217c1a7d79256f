#pragma once

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

// A push button ("button"): draws its skin in four states (normal, hover,
// pushed, disabled) and its text, and fires a command when clicked, that is
// when the left button is released over it after being pressed on it.
class SButton : public SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "button")
 public:
  SButton(UiApp& app, QWidget* parent);

  // Clicks the button as the user would.
  void Click() { FireEvent(EventKind::Command); }

 protected:
  int DrawState() const override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool hover_ = false;
  bool pushed_ = false;
};

// A button drawn by its image alone ("imgbtn").
class SImageButton : public SButton {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SButton, "imgbtn")
 public:
  SImageButton(UiApp& app, QWidget* parent) : SButton(app, parent) {}
};

}  // namespace keyloom::ui
