#pragma once

#include <QString>
#include <QWidget>

#include "ui/toolkit/EventArgs.h"
#include "ui/toolkit/SWindow.h"
#include "ui/toolkit/Timeline.h"

namespace keyloom::ui {

class UiApp;

// A frameless top-level window that hosts a widget tree built from a layout:
//   <layout width="W" height="H" title="TEXT" icon="ICON:NAME" ...root widget attributes...>
//     ...widgets...
//   </layout>
// The window messages a host reacts to become virtual operations: set-up
// (OnInitDialog), a close request (OnClose), the end of the window
// (OnDestroy), a menu command (OnMenuCommand) and widget notifications
// (OnEvent).
class SHostWnd : public QWidget {
  Q_OBJECT
 public:
  explicit SHostWnd(UiApp& app, QWidget* owner = nullptr);
  ~SHostWnd() override;

  // Builds the widget tree from the layout resource (e.g. "LAYOUT:XML_MAINWND").
  // False when the layout is missing or malformed; the window is then empty.
  bool CreateFromLayout(const QString& layoutResource);

  // Runs the set-up and returns its result (WM_INITDIALOG).
  int SendInitDialog() { return OnInitDialog(); }

  // Ends the window: OnDestroy runs once, the window goes away, and
  // windowDestroyed is emitted.
  void DestroyWindow();
  bool IsDestroyed() const { return destroyed_; }
  // Queue a close request or a menu command, as posting a message would.
  void PostClose();
  void PostMenuCommand(int command);
  // Centres the window on the work area of its screen.
  void CenterWindow();

  SWindow* root() const { return root_; }
  template <class T>
  T* FindChildByName2(const QString& name, int levels = -1) const {
    return root_->FindChildByName2<T>(name, levels);
  }
  template <class T>
  T* FindChildByID2(int id, int levels = -1) const {
    return root_->FindChildByID2<T>(id, levels);
  }

  // A widget notification; return true when handled.
  virtual bool OnEvent(EventArgs& event);
  virtual void OnLanguageChanged();
  UiApp& app() const { return app_; }
  // The window's animation timeline; it ticks only while shown and while
  // something on it animates.
  Timeline& timeline() { return timeline_; }

 signals:
  void windowDestroyed();

 protected:
  virtual int OnInitDialog() { return 0; }
  // Default: end the window.
  virtual void OnClose() { DestroyWindow(); }
  virtual void OnDestroy() {}
  virtual void OnMenuCommand(int /*command*/) {}

  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  UiApp& app_;
  Timeline timeline_;
  SWindow* root_;
  QString title_;
  bool destroyed_ = false;
};

}  // namespace keyloom::ui
