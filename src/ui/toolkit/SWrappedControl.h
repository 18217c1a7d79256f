#pragma once

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

// The base of the input controls: the widget holds one of Qt's own controls
// filling its rectangle, so input methods, keyboard focus, accessibility and
// screen readers work as everywhere on the desktop; the skin's style sheet
// dresses it. The widget itself draws only its background.
class SWrappedControl : public SWindow {
  Q_OBJECT
 public:
  SWrappedControl(UiApp& app, QWidget* parent) : SWindow(app, parent) {}

  void LayoutChildren() override;
  QWidget* control() const { return control_; }

 protected:
  // Takes `control` as the wrapped control (a child of this widget).
  void Wrap(QWidget* control);
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* control_ = nullptr;
};

}  // namespace keyloom::ui
