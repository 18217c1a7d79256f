#include "ui/toolkit/SHostWnd.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "ui/toolkit/ControlStyle.h"
#include "ui/toolkit/LayoutLoader.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SHostWnd::SHostWnd(UiApp& app, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), app_(app), root_(new SWindow(app, this)) {}

// The widgets go first, while the timeline they may leave still exists.
SHostWnd::~SHostWnd() { delete root_; }

bool SHostWnd::CreateFromLayout(const QString& layoutResource) {
  pugi::xml_document doc;
  if (!app_.resources().LoadXml(layoutResource, doc)) {
    ToolkitLog("layout [%s] not found or malformed", layoutResource.toUtf8().constData());
    return false;
  }
  pugi::xml_node layout = doc.document_element();
  // The host takes its own attributes; the rest style the root widget.
  const int width = layout.attribute("width").as_int(640);
  const int height = layout.attribute("height").as_int(480);
  title_ = app_.definition().ResolveString(QString::fromUtf8(layout.attribute("title").value()));
  const QIcon icon = app_.Icon(QString::fromUtf8(layout.attribute("icon").value()));
  if (!icon.isNull()) setWindowIcon(icon);
  for (const char* own : {"width", "height", "title", "icon"}) layout.remove_attribute(own);

  // Qt's own controls inside (combo boxes, sliders, edits, menus) wear the skin's colours.
  setStyleSheet(ControlStyleSheet(app_.definition(), app_.resources()));
  LayoutLoader(app_).Build(layout, root_);
  resize(width, height);
  root_->setGeometry(rect());
  root_->LayoutChildren();
  OnLanguageChanged();
  return true;
}

void SHostWnd::OnLanguageChanged() { setWindowTitle(app_.translator().Translate(title_)); }

bool SHostWnd::OnEvent(EventArgs&) { return false; }

void SHostWnd::DestroyWindow() {
  if (destroyed_) return;
  destroyed_ = true;
  OnDestroy();
  hide();
  emit windowDestroyed();
}

void SHostWnd::PostClose() {
  QTimer::singleShot(0, this, [this] {
    if (!destroyed_) OnClose();
  });
}

void SHostWnd::PostMenuCommand(int command) {
  QTimer::singleShot(0, this, [this, command] {
    if (!destroyed_) OnMenuCommand(command);
  });
}

void SHostWnd::CenterWindow() {
  QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = geometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void SHostWnd::closeEvent(QCloseEvent* event) {
  // The window system's close request goes through OnClose like WM_CLOSE.
  event->ignore();
  if (!destroyed_) OnClose();
}

void SHostWnd::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timeline_.SetShown(true);
}

void SHostWnd::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  timeline_.SetShown(false);
}

void SHostWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  root_->setGeometry(rect());
  root_->LayoutChildren();
}

}  // namespace keyloom::ui
