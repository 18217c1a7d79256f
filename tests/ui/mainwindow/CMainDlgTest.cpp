#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/NamedWidgetTable.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SText.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CustomWidgets.h"
#include "widgets/SShellNotifyIcon.h"

namespace keyloom {
namespace {

constexpr const char* kInstance = "test-instance";

// The main window built from the shipped resource folder.
class MainWindow : public testing::Test {
 protected:
  MainWindow() : dlg_(app_, kInstance) {
    previousSink_ = ui::SetToolkitLogSink([this](const std::string& line) { log_.push_back(line); });
    app_.names().Register(NamedWidgetTable());
    widgets::RegisterCustomWidgets(app_.classes());
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
  const auto previous = widgets::SShellNotifyIcon::SetTrayProbe([] { return true; });
  Click("btn_min");
  widgets::SShellNotifyIcon::SetTrayProbe(previous);
  EXPECT_FALSE(dlg_.isVisible());
  EXPECT_EQ(ended_, 0);
  EXPECT_TRUE(Marked());
}

TEST_F(MainWindow, WithoutATrayTheMinimiseButtonKeepsTheWindowReachable) {
  const auto previous = widgets::SShellNotifyIcon::SetTrayProbe([] { return false; });
  Click("btn_min");
  widgets::SShellNotifyIcon::SetTrayProbe(previous);
  EXPECT_TRUE(dlg_.isVisible());
  EXPECT_TRUE(dlg_.isMinimized());
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

// Every text a layout or menu of the shipped resource folder shows, and every
// text the program itself shows, must be in both translations.
TEST_F(MainWindow, EveryTextOfTheResourceFolderAndTheProgramHasBothTranslations) {
  QStringList texts = {"OK", "Cancel", "Yes", "No", "Warning", "Speed", "Brightness", "Firmware", ": ",
                       "Early version", "Please insert USB device",
                       "All settings will be restored, are you sure you want to   continue?",
                       "The firmware is already the latest version and no upgrade is required."};
  pugi::xml_document index;
  ASSERT_TRUE(index.load_file(KEYLOOM_SOURCE_DIR "/uires/uires.idx"));
  for (const char* type : {"layout", "smenu", "smenuex"}) {
    for (pugi::xml_node file : index.document_element().child(type).children("file")) {
      pugi::xml_document doc;
      const std::string path = std::string(KEYLOOM_SOURCE_DIR "/uires/") + file.attribute("path").value();
      ASSERT_TRUE(doc.load_file(path.c_str())) << path;
      for (pugi::xpath_node n : doc.select_nodes("//*")) {
        const pugi::xml_node e = n.node();
        for (const char* attribute : {"text", "tip", "title", "cueText"}) {
          if (e.attribute(attribute)) texts << QString::fromUtf8(e.attribute(attribute).value());
        }
        texts << QString::fromUtf8(e.text().get()).trimmed();
      }
    }
  }
  for (const char* language : {"lang_en", "lang_cn"}) {
    ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), language));
    for (const QString& written : texts) {
      const QString text = app_.definition().ResolveString(written);
      if (text.isEmpty() || text == "keyloom") continue;  // the product name is not translated
      EXPECT_FALSE(app_.translator().current()->Find(text).isNull())
          << language << " lacks \"" << text.toStdString() << '"';
    }
  }
}

}  // namespace
}  // namespace keyloom
