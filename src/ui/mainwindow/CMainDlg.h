#pragma once

#include <QString>

#include "ui/toolkit/EventMap.h"
#include "ui/toolkit/SHostWnd.h"

namespace keyloom {

// The main window. Built from the layout "LAYOUT:XML_MAINWND"; finds its
// widgets by name, routes their notifications through one event map and
// ends the program when it goes.
class CMainDlg : public ui::SHostWnd {
  Q_OBJECT
 public:
  // Menu commands of the "more" menu and the tray menu.
  static constexpr int kCommandFirmwareCheck = 1;
  static constexpr int kCommandExit = 6;

  CMainDlg(ui::UiApp& app, const QString& instanceName);
  ~CMainDlg() override;

  bool OnEvent(ui::EventArgs& event) override;

 protected:
  int OnInitDialog() override;
  void OnClose() override { DestroyWindow(); }
  void OnDestroy() override;
  void OnMenuCommand(int command) override;

 private:
  void OnBtnClose(ui::EventArgs&) { DestroyWindow(); }
  // Hides rather than minimises: the window leaves the screen and the
  // taskbar, and the tray icon brings it back. On a desktop without a tray
  // it minimises instead, so the window stays reachable from the taskbar.
  void OnBtnMin(ui::EventArgs&);
  void OnBtnMax(ui::EventArgs&) { showMaximized(); }
  void OnBtnRestore(ui::EventArgs&) { showNormal(); }

  static const ui::EventMap<CMainDlg>& EventMap();

  QString instanceName_;
};

}  // namespace keyloom
