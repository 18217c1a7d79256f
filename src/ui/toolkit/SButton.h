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
  void SetWindowText(const QString& text) override;
  void OnLanguageChanged() override;

 protected:
  int DrawState() const override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Space or Enter on a focused button clicks it.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool hover_ = false;
  bool pushed_ = false;
};

// A button drawn by its skin alone ("imgbtn"): the skin's sub-image for the
// state (normal, hover, pushed, disabled) fills the button; it shows no
// text and no background colour (its text, if any, is its accessible name).
class SImageButton : public SButton {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SButton, "imgbtn")
 public:
  SImageButton(UiApp& app, QWidget* parent) : SButton(app, parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace keyloom::ui
