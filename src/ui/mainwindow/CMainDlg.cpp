#include "ui/mainwindow/CMainDlg.h"

#include "widgets/SShellNotifyIcon.h"

namespace keyloom {

// One row per notification the window reacts to, tested in order; the first
// match handles the event.
const ui::EventMap<CMainDlg>& CMainDlg::EventMap() {
  static const ui::EventMap<CMainDlg> map{
      {ui::EventKind::Command, "btn_close", 0, 0, &CMainDlg::OnBtnClose},
      {ui::EventKind::Command, "btn_min", 0, 0, &CMainDlg::OnBtnMin},
      {ui::EventKind::Command, "btn_max", 0, 0, &CMainDlg::OnBtnMax},
      {ui::EventKind::Command, "btn_restore", 0, 0, &CMainDlg::OnBtnRestore},
  };
  return map;
}

CMainDlg::CMainDlg(ui::UiApp& app, const QString& instanceName) : SHostWnd(app), instanceName_(instanceName) {}

CMainDlg::~CMainDlg() = default;

void CMainDlg::OnBtnMin(ui::EventArgs&) {
  if (widgets::SShellNotifyIcon::TrayAvailable())
    hide();
  else
    showMinimized();
}

bool CMainDlg::OnEvent(ui::EventArgs& event) { return EventMap().Dispatch(*this, event); }

int CMainDlg::OnInitDialog() {
  // A second start finds this window by the instance-name property.
  setProperty(instanceName_.toUtf8().constData(), 1);
  return 0;
}

void CMainDlg::OnDestroy() { setProperty(instanceName_.toUtf8().constData(), QVariant()); }

void CMainDlg::OnMenuCommand(int command) {
  if (command == kCommandExit) PostClose();
}

}  // namespace keyloom
