#include "ui/toolkit/SHostDialog.h"

#include <QEventLoop>

namespace keyloom::ui {

SHostDialog::SHostDialog(UiApp& app, QWidget* owner) : SHostWnd(app, owner) {
  setWindowModality(Qt::ApplicationModal);
}

int SHostDialog::DoModal() {
  if (IsDestroyed()) return result_;
  QEventLoop loop;
  connect(this, &SHostWnd::windowDestroyed, &loop, &QEventLoop::quit);
  SendInitDialog();
  CenterWindow();
  show();
  if (!IsDestroyed()) loop.exec();
  return result_;
}

void SHostDialog::EndDialog(int code) {
  if (IsDestroyed()) return;
  result_ = code;
  DestroyWindow();
}

}  // namespace keyloom::ui
