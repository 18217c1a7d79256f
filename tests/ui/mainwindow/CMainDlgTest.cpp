#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/NamedWidgetTable.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SText.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom {
namespace {

constexpr const char* kInstance = "test-instance";

// The main window built from the shipped resource folder.
class MainWindow : public testing::Test {
 protected:
  MainWindow() : dlg_(app_, kInstance) {
    previousSink_ = ui::SetToolkitLogSink([this](const std::string& line) { log_.push_back(line); });
    app_.names().Register(NamedWidgetTable());
    app_.Initialize(KEYLOOM_SOURCE_DIR "/uires", "uidef:xml_init");
    QObject::connect(&dlg_, &ui::SHostWnd::windowDestroyed, [this] { ++ended_; });
    created_ = dlg_.CreateFromLayout("LAYOUT:XML_MAINWND");
    dlg_.SendInitDialog();
    dlg_.show();
  }
  ~MainWindow() override { ui::SetToolkitLogSink(previousSink_); }

  void Click(const char* name) { dlg_.FindChildByName2<ui::SButton>(name)->Click(); }
  bool Marked() const { return !dlg_.property(kInstance).toString().isEmpty(); }

  ui::UiApp app_;
  CMainDlg dlg_;
  bool created_ = false;
  int ended_ = 0;
  std::vector<std::string> log_;
  ui::ToolkitLogSink previousSink_;
};

TEST_F(MainWindow, LayoutHasTheNamedWidgetsWithTheirTableIds) {
  ASSERT_TRUE(created_);
  auto* title = dlg_.FindChildByName2<ui::SText>("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->GetID(), 65536);
  EXPECT_EQ(dlg_.FindChildByName2<ui::SButton>("btn_min")->GetID(), 65538);
  EXPECT_EQ(dlg_.FindChildByName2<ui::SButton>("btn_close")->GetID(), 65539);
  EXPECT_TRUE(log_.empty()) << log_.front();
}

TEST_F(MainWindow, InitMarksTheWindowForASecondStart) { EXPECT_TRUE(Marked()); }

TEST_F(MainWindow, MinimiseButtonHidesTheWindowAndTheProgramGoesOn) {
  Click("btn_min");
  EXPECT_FALSE(dlg_.isVisible());
  EXPECT_EQ(ended_, 0);
  EXPECT_TRUE(Marked());
}

TEST_F(MainWindow, CloseButtonEndsTheWindowAndRemovesTheMark) {
  Click("btn_close");
  EXPECT_EQ(ended_, 1);
  EXPECT_FALSE(Marked());
}

TEST_F(MainWindow, CloseRequestFromTheWindowSystemEndsTheWindow) {
  dlg_.close();
  EXPECT_EQ(ended_, 1);
}

TEST_F(MainWindow, MenuCommandSixEndsTheWindowThroughAPostedClose) {
  dlg_.PostMenuCommand(CMainDlg::kCommandExit);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(ended_, 1);
}

TEST_F(MainWindow, OtherMenuCommandsDoNothing) {
  dlg_.PostMenuCommand(42);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(ended_, 0);
}

TEST_F(MainWindow, MaximiseAndRestoreNotificationsResizeTheWindow) {
  ui::EventArgs max;
  max.senderName = "btn_max";
  EXPECT_TRUE(dlg_.OnEvent(max));
  EXPECT_TRUE(dlg_.isMaximized());
  ui::EventArgs restore;
  restore.senderName = "btn_restore";
  EXPECT_TRUE(dlg_.OnEvent(restore));
  EXPECT_FALSE(dlg_.isMaximized());
}

TEST_F(MainWindow, EveryShownTextHasBothTranslations) {
  for (const char* language : {"lang_en", "lang_cn"}) {
    ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), language));
    for (QObject* o : dlg_.findChildren<ui::SWindow*>()) {
      auto* w = static_cast<ui::SWindow*>(o);
      const QString text = w->GetWindowText();
      if (text.isEmpty() || text == "keyloom") continue;  // the product name is not translated
      EXPECT_FALSE(app_.translator().current()->Find(text).isNull())
          << language << " lacks \"" << text.toStdString() << '"';
    }
  }
}

}  // namespace
}  // namespace keyloom
