#include "ui/toolkit/SCaption.h"

#include <QMouseEvent>
#include <QWindow>

namespace keyloom::ui {

void SCaption::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
}

}  // namespace keyloom::ui
