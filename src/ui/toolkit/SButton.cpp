#include "ui/toolkit/SButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/toolkit/ImageSkin.h"

namespace keyloom::ui {

SButton::SButton(UiApp& app, QWidget* parent) : SWindow(app, parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
}

void SButton::SetWindowText(const QString& text) {
  SWindow::SetWindowText(text);
  setAccessibleName(GetDisplayText());
}

void SButton::OnLanguageChanged() {
  setAccessibleName(GetDisplayText());
  SWindow::OnLanguageChanged();
}

void SButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Click();
    return;
  }
  SWindow::keyPressEvent(event);
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

void SImageButton::paintEvent(QPaintEvent*) {
  if (!skin()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  skin()->Draw(painter, rect(), DrawState());
}

}  // namespace keyloom::ui
