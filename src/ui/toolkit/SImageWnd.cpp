#include "ui/toolkit/SImageWnd.h"

namespace keyloom::ui {

bool SImageWnd::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("state")) {
    state_ = value.toInt();
    update();
    return true;
  }
  return SWindow::SetAttribute(name, value);
}

}  // namespace keyloom::ui
