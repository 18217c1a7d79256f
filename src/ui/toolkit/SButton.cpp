#include "ui/toolkit/SButton.h"

#include <QMouseEvent>

namespace keyloom::ui {

SButton::SButton(UiApp& app, QWidget* parent) : SWindow(app, parent) {
  setCursor(Qt::PointingHandCursor);
}

int SButton::DrawState() const {
  if (!isEnabled()) return 3;
  if (pushed_) return 2;
  return hover_ ? 1 : 0;
}

void SButton::enterEvent(QEnterEvent*) {
  hover_ = true;
  update();
}

void SButton::leaveEvent(QEvent*) {
  hover_ = false;
  update();
}

void SButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pushed_ = true;
  update();
}

void SButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pushed_) return;
  pushed_ = false;
  update();
  if (rect().contains(event->position().toPoint())) Click();
}

}  // namespace keyloom::ui
