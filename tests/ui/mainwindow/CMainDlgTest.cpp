#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cerrno>
#include <pugixml.hpp>

#include "ui/mainwindow/MainWindowFixture.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SText.h"
#include "widgets/SShellNotifyIcon.h"

namespace keyloom {
namespace {

// The window's structure: its widgets, buttons, menu commands and texts.
class MainWindow : public test::MainWindowFixture {
 protected:
  MainWindow() {
    Create();
    QObject::connect(dlg_.get(), &ui::SHostWnd::windowDestroyed, [this] { ++ended; });
  }
  bool Marked() const { return !dlg_->property(kInstance).toString().isEmpty(); }
  int ended = 0;
};
TEST_F(MainWindow, LayoutHasTheNamedWidgetsWithTheirTableIds) {
  auto* title = dlg_->FindChildByName2<ui::SText>("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->GetID(), 65536);
  EXPECT_EQ(dlg_->FindChildByName2<ui::SButton>("btn_min")->GetID(), 65538);
  EXPECT_EQ(dlg_->FindChildByName2<ui::SButton>("btn_close")->GetID(), 65539);
  EXPECT_TRUE(log_.empty()) << log_.front();
}

TEST_F(MainWindow, InitMarksTheWindowForASecondStart) { EXPECT_TRUE(Marked()); }

TEST_F(MainWindow, MinimiseButtonHidesTheWindowAndTheProgramGoesOn) {
  const auto previous = widgets::SShellNotifyIcon::SetTrayProbe([] { return true; });
  Click("btn_min");
  widgets::SShellNotifyIcon::SetTrayProbe(previous);
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(Marked());
}

TEST_F(MainWindow, WithoutATrayTheMinimiseButtonKeepsTheWindowReachable) {
  const auto previous = widgets::SShellNotifyIcon::SetTrayProbe([] { return false; });
  Click("btn_min");
  widgets::SShellNotifyIcon::SetTrayProbe(previous);
  EXPECT_TRUE(dlg_->isVisible());
  EXPECT_TRUE(dlg_->isMinimized());
}

TEST_F(MainWindow, CloseButtonEndsTheWindowAndRemovesTheMark) {
  Click("btn_close");
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(Marked());
}

TEST_F(MainWindow, CloseRequestFromTheWindowSystemEndsTheWindow) {
  dlg_->close();
  EXPECT_EQ(ended, 1);
}

TEST_F(MainWindow, MenuCommandSixEndsTheWindowThroughAPostedClose) {
  dlg_->PostMenuCommand(CMainDlg::kCommandExit);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(ended, 1);
}

TEST_F(MainWindow, OtherMenuCommandsDoNothing) {
  dlg_->PostMenuCommand(42);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(ended, 0);
}

TEST_F(MainWindow, MaximiseAndRestoreNotificationsResizeTheWindow) {
  ui::EventArgs max;
  max.senderName = "btn_max";
  EXPECT_TRUE(dlg_->OnEvent(max));
  EXPECT_TRUE(dlg_->isMaximized());
  ui::EventArgs restore;
  restore.senderName = "btn_restore";
  EXPECT_TRUE(dlg_->OnEvent(restore));
  EXPECT_FALSE(dlg_->isMaximized());
}

TEST_F(MainWindow, EveryShownTextHasBothTranslations) {
  for (const char* language : {"lang_en", "lang_cn"}) {
    ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), language));
    for (QObject* o : dlg_->findChildren<ui::SWindow*>()) {
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
                       "Early version", "Please insert USB device", "Stop record", "Start record", "key down", "key up", "replace",
                       "All settings will be restored, are you sure you want to   continue?",
                       "The firmware is already the latest version and no upgrade is required.",
                       "Could not save %1: %2. Changes are kept only until keyloom closes.", ", ", "the folder is read-only",
                       "no permission to write", "the disk is full", "it is not a regular file", "it is too large",
                       "a system error"};
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

// Failed saves show in one line of the window, not in a box per save.
TEST_F(MainWindow, FailedSavesShowInTheNoticeLineInEitherLanguage) {
  auto* notice = dlg_->FindChildByName2<ui::SText>("save_notice");
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->GetWindowText().isEmpty());
  dlg_->ShowSaveFailure({"/p/macro.xml", platform::FileStatus::FromErrno(EROFS)});
  dlg_->ShowSaveFailure({"/p/ledeffect.xml", platform::FileStatus::FromErrno(ENOSPC)});
  dlg_->ShowSaveFailure({"/p/macro.xml", platform::FileStatus::FromErrno(ENOSPC)});  // known already
  EXPECT_EQ(notice->GetWindowText(),
            "Could not save macro.xml, ledeffect.xml: the disk is full. Changes are kept only until keyloom closes.");
  dlg_->SwitchLanguage(1);
  EXPECT_EQ(notice->GetWindowText(), QString::fromUtf8("无法保存 macro.xml、ledeffect.xml：磁盘已满。更改只会保留到 keyloom 关闭为止。"));
  dlg_->SwitchLanguage(0);
}

// Which row of the event map handles a notification: -1 for none.
struct RouteCase {
  ui::EventKind kind;
  const char* name;
  int id;
  int row;
};

class EventMapRouting : public testing::TestWithParam<RouteCase> {};

TEST_P(EventMapRouting, TheFirstMatchingRowHandlesTheNotification) {
  ui::EventArgs event;
  event.kind = GetParam().kind;
  event.senderName = GetParam().name;
  event.senderId = GetParam().id;
  const auto& map = CMainDlg::EventMap();
  const auto* route = map.Find(event);
  EXPECT_EQ(route == nullptr ? -1 : static_cast<int>(route - map.routes().data()), GetParam().row);
}

using K = ui::EventKind;
INSTANTIATE_TEST_SUITE_P(Table, EventMapRouting, testing::Values(
    RouteCase{K::Command, "btn_more", 65537, 0},
    RouteCase{K::Command, "btn_close", 65539, 1},
    RouteCase{K::Command, "btn_min", 65538, 2},
    RouteCase{K::Command, "btn_max", 0, 3},
    RouteCase{K::Command, "btn_restore", 0, 4},
    RouteCase{K::Command, "zh_cn", 0, 5},
    RouteCase{K::Command, "btn_restore_factory", 65555, 6},
    RouteCase{K::Command, "jp", 0, 7},
    RouteCase{K::Command, "radio_direction_left_0", 65545, 8},
    RouteCase{K::Command, "radio_direction_right_0", 65546, 8},
    RouteCase{K::SliderPos, "bar_general_speed_0", 65543, 9},
    RouteCase{K::SliderPos, "bar_const_brightness_2", 65549, 13},
    RouteCase{K::SliderPos, "bar_side_brightness", 65560, 14},
    RouteCase{K::SliderPos, "bar_const_brightness_3", 65551, 16},
    RouteCase{K::Command, "radio_loader_right_3", 65554, 17},
    RouteCase{K::Command, "bar_general_speed_0", 65543, -1},   // the kind is part of the match
    RouteCase{K::SliderPos, "radio", 65545, -1},
    RouteCase{K::Command, "cbx_color_effect", 65541, -1},      // combo boxes have their own handler
    RouteCase{K::ComboSelChange, "cbx_color_effect", 65541, -1},
    RouteCase{K::Command, "version", 65557, -1}));

}  // namespace
}  // namespace keyloom
