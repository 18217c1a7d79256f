#include "ui/mainwindow/CMainDlg.h"

namespace keyloom {

// One row per notification the window reacts to, tested in order; the first
// match handles the event. A row names its sender, or, with a null name,
// matches an identifier range.
struct CMainDlg::EventRoute {
  ui::EventKind kind;
  const char* name;
  int firstId;
  int lastId;
  void (CMainDlg::*handler)(ui::EventArgs&);
};

const CMainDlg::EventRoute CMainDlg::kEventMap[] = {
    {ui::EventKind::Command, "btn_close", 0, 0, &CMainDlg::OnBtnClose},
    {ui::EventKind::Command, "btn_min", 0, 0, &CMainDlg::OnBtnMin},
    {ui::EventKind::Command, "btn_max", 0, 0, &CMainDlg::OnBtnMax},
    {ui::EventKind::Command, "btn_restore", 0, 0, &CMainDlg::OnBtnRestore},
};

CMainDlg::CMainDlg(ui::UiApp& app, const QString& instanceName) : SHostWnd(app), instanceName_(instanceName) {}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::OnEvent(ui::EventArgs& event) {
  for (const EventRoute& route : kEventMap) {
    if (route.kind != event.kind) continue;
    const bool matches = route.name != nullptr
                             ? event.senderName == QLatin1String(route.name)
                             : event.senderId >= route.firstId && event.senderId <= route.lastId;
    if (!matches) continue;
    (this->*route.handler)(event);
    return true;
  }
  return false;
}

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
