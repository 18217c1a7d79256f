#include "widgets/SShellNotifyIcon.h"

#include <QCursor>
#include <QStringList>
#include <cstdio>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/AttributeNumber.h"

namespace keyloom::widgets {
namespace {

SShellNotifyIcon::TrayProbe& TrayProbeSlot() {
  static SShellNotifyIcon::TrayProbe probe = nullptr;
  return probe;
}

}  // namespace

SShellNotifyIcon::SShellNotifyIcon(ui::UiApp& app, QWidget* parent) : SWindow(app, parent), trayMenu_(app) {
  // Explicitly hidden, so showing the host window never shows it.
  hide();
}

bool SShellNotifyIcon::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("ico")) {
    icons_.clear();
    for (const QString& part : value.split(';', Qt::SkipEmptyParts)) {
      const QIcon icon = app().Icon(part.trimmed());
      if (!icon.isNull()) icons_.append(icon);
    }
  } else if (name == QLatin1String("tip")) {
    if (!value.isEmpty()) {
      tip_ = app().definition().ResolveString(value);
      if (trayIcon_) trayIcon_->setToolTip(DisplayTip());
    }
  } else if (name == QLatin1String("menu")) {
    pugi::xml_document doc;
    if (app().resources().LoadXml(value, doc)) {
      menuKind_ = ui::SMenu::KindOfRoot(doc.document_element().name());
      if (menuKind_ != ui::SMenu::Kind::None) menu_ = value;
    }
  } else if (name == QLatin1String("deficoidx")) {
    defaultIconIndex_ = AttributeNumber(value);
  } else if (name == QLatin1String("startframe")) {
    startFrame_ = AttributeNumber(value);
  } else if (name == QLatin1String("duration")) {
    frameDuration_ = AttributeNumber(value);
  } else {
    return SWindow::SetAttribute(name, value);
  }
  return true;
}

void SShellNotifyIcon::OnLayoutLoaded() {
  if (defaultIconIndex_ < 0 || defaultIconIndex_ >= icons_.size()) defaultIconIndex_ = 0;
  QIcon icon;
  if (!icons_.isEmpty()) {
    shownIconIndex_ = defaultIconIndex_;
    icon = icons_[defaultIconIndex_];
  } else {
    shownIconIndex_ = -1;
    icon = app().Icon(QStringLiteral("ICON:ICON_LOGO"));
  }

  if (!TrayAvailable()) {
    std::fprintf(stderr, "keyloom: this desktop has no system tray; start keyloom again to show its window\n");
    std::fflush(stderr);
  }
  // Made on every desktop, so the widget behaves alike with or without a
  // tray. When the tray itself restarts (the panel crashes, the session
  // changes its tray host), Qt registers the icon again on its own, so
  // nothing here has to watch for that.
  delete trayIcon_;
  trayIcon_ = new QSystemTrayIcon(icon, this);
  trayIcon_->setToolTip(DisplayTip());
  connect(trayIcon_, &QSystemTrayIcon::activated, this, &SShellNotifyIcon::OnActivated);
  trayIcon_->show();
}

void SShellNotifyIcon::OnLanguageChanged() {
  SWindow::OnLanguageChanged();
  if (trayIcon_) trayIcon_->setToolTip(DisplayTip());
}

bool SShellNotifyIcon::TrayAvailable() {
  if (TrayProbe probe = TrayProbeSlot()) return probe();
  return QSystemTrayIcon::isSystemTrayAvailable();
}

SShellNotifyIcon::TrayProbe SShellNotifyIcon::SetTrayProbe(TrayProbe probe) {
  const TrayProbe previous = TrayProbeSlot();
  TrayProbeSlot() = probe;
  return previous;
}

void SShellNotifyIcon::paintEvent(QPaintEvent*) {}

void SShellNotifyIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Trigger)
    ToggleHostWindow();
  else if (reason == QSystemTrayIcon::Context)
    OpenTrayMenu();
}

void SShellNotifyIcon::ToggleHostWindow() {
  ui::SHostWnd* host = GetHostWnd();
  if (host == nullptr) return;
  if (host->isVisible()) {
    host->hide();
    return;
  }
  host->show();
  host->raise();
  host->activateWindow();
}

void SShellNotifyIcon::OpenTrayMenu() {
  ui::SHostWnd* host = GetHostWnd();
  if (host == nullptr || menuKind_ == ui::SMenu::Kind::None) return;
  if (!trayMenu_.LoadMenu(menu_)) return;
  // A Qt popup takes the input grab itself; the host need not come to the
  // front for the menu to close when the user clicks elsewhere.
  trayMenu_.TrackPopupMenu(QCursor::pos(), host);
}

QString SShellNotifyIcon::DisplayTip() const {
  QString shown = app().translator().Translate(tip_);
  if (shown.size() > kMaxTipLength) {
    // Never split a surrogate pair.
    const int length = shown.at(kMaxTipLength - 1).isHighSurrogate() ? kMaxTipLength - 1 : kMaxTipLength;
    shown.truncate(length);
  }
  return shown;
}

}  // namespace keyloom::widgets
