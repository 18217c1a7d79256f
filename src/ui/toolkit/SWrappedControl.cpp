#include "ui/toolkit/SWrappedControl.h"

#include <QPainter>

namespace keyloom::ui {

void SWrappedControl::Wrap(QWidget* control) {
  control_ = control;
  setFocusProxy(control);
  control->setGeometry(rect());
}

void SWrappedControl::LayoutChildren() {
  if (control_ != nullptr) control_->setGeometry(rect());
  SWindow::LayoutChildren();
}

void SWrappedControl::paintEvent(QPaintEvent*) {
  // The wrapped control draws the text; the skin and background stay ours.
  QPainter painter(this);
  PaintBackground(painter);
}

}  // namespace keyloom::ui
