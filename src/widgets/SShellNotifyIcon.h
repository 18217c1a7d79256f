#pragma once

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

#include "ui/toolkit/SMenu.h"
#include "ui/toolkit/SWindow.h"

namespace keyloom::widgets {

// The program's icon in the desktop's system tray ("shellnotifyicon"). An
// invisible widget of the main window's layout: once its layout is built it
// puts one icon into the tray; a left click shows or hides the host window,
// a right click opens the tray menu, whose commands reach the host window as
// menu commands. The icon goes with the widget.
//
// Layout attributes: ico (icon resources separated by ";"), tip (tool tip,
// may be "@string/NAME"), menu (a menu resource, "SMENU:x" or "SMENUEX:x"),
// deficoidx (which of the icons the tray shows), startframe and duration
// (kept for icon animations; nothing uses them yet). Numbers are decimal or
// "0x" hexadecimal.
class SShellNotifyIcon : public ui::SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::SWindow, "shellnotifyicon")
 public:
  // The longest tool tip the tray takes, in UTF-16 units.
  static constexpr int kMaxTipLength = 127;

  SShellNotifyIcon(ui::UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void OnLayoutLoaded() override;
  void OnLanguageChanged() override;

  // Whether this desktop has a system tray. Without one the icon is never
  // seen, so the main window must not hide itself for good.
  static bool TrayAvailable();
  // Replaces the question asked of the desktop (null: ask the desktop
  // again); returns the previous one. For tests.
  using TrayProbe = bool (*)();
  static TrayProbe SetTrayProbe(TrayProbe probe);

  // What the tray shows. Null until the layout is built.
  QSystemTrayIcon* trayIcon() const { return trayIcon_; }
  // Index into the `ico` list of the icon shown; -1 for the program's icon.
  int shownIconIndex() const { return shownIconIndex_; }
  ui::SMenu::Kind menuKind() const { return menuKind_; }
  int startFrame() const { return startFrame_; }
  int frameDuration() const { return frameDuration_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnActivated(QSystemTrayIcon::ActivationReason reason);
  void ToggleHostWindow();
  void OpenTrayMenu();
  QString DisplayTip() const;

  QList<QIcon> icons_;
  QString tip_;
  QString menu_;
  ui::SMenu::Kind menuKind_ = ui::SMenu::Kind::None;
  int defaultIconIndex_ = 0;
  int startFrame_ = 1;
  int frameDuration_ = 200;
  int shownIconIndex_ = -1;
  QPointer<QSystemTrayIcon> trayIcon_;
  ui::SMenu trayMenu_;
};

}  // namespace keyloom::widgets
