// A key given a macro from the keyboard picture, end to end: the click opens
// the editor, typing is recorded, OK assigns it, and the key then plays it.
#include <QTest>
#include <QTimer>

#include "macros/KeyboardHook.h"
#include "platform/test/KeyTraffic.h"
#include "platform/test/RecordingInjector.h"
#include "platform/test/ScriptedHookSource.h"
#include "support/WidgetClicks.h"
#include "ui/mainwindow/MainWindowFixture.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SListView.h"
#include "widgets/CoordButtonImage.h"

namespace keyloom {
namespace {

class KeyAssignmentEndToEnd : public test::MainWindowFixture {
 protected:
  KeyAssignmentEndToEnd() {
    KeyboardHook::Instance().Install(&source_);
    injector_ = &injector_impl_;
  }
  ~KeyAssignmentEndToEnd() override {
    dlg_.reset();
    KeyboardHook::Instance().Uninstall();
  }
  // The centre of a key of the picture.
  QPoint KeyCentre(int id) {
    for (const widgets::CoordButton& key : Get<widgets::CoordButtonImage>("img_keyboard")->buttons())
      if (key.id == id) return QPoint((key.left + key.right) / 2, (key.top + key.bottom) / 2);
    ADD_FAILURE() << "no key " << id;
    return {};
  }
  static MacroRecordDlg* Editor() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* editor = qobject_cast<MacroRecordDlg*>(w); editor != nullptr && editor->isVisible()) return editor;
    return nullptr;
  }
  static void ClickIn(ui::SHostWnd* window, const char* name) {
    if (!test::ClickByName(window, name)) ADD_FAILURE() << "no widget " << name;
  }

  platform::ScriptedHookSource source_;
  platform::RecordingInjector injector_impl_;
};

TEST_F(KeyAssignmentEndToEnd, ARecordedMacroIsAssignedFromThePictureAndPlayedByTheKey) {
  library_.groups = {MacroGroup{L"Group 0", {}}};
  library_.group = 0;
  Create();
  Settle();
  ASSERT_TRUE(dlg_->device().IsOpen());
  auto* picture = Get<widgets::CoordButtonImage>("img_keyboard");
  const int kF5 = 0x74;
  bool editorSeen = false;
  QTimer::singleShot(0, [&] {
    MacroRecordDlg* editor = Editor();
    ASSERT_NE(editor, nullptr);
    editorSeen = true;
    ClickIn(editor, "chk_macro_record");
    // Typed on the keyboard while the editor records: the hook hands it over.
    source_.Feed("+A 60ms -A 40ms +B 60ms -B", [](int ms) { QTest::qWait(ms); });
    ClickIn(editor, "btnOK");
  });
  QTest::mouseClick(picture, Qt::LeftButton, {}, KeyCentre(kF5));  // runs the editor modally
  ASSERT_TRUE(editorSeen);
  ASSERT_EQ(library_.groups[0].StepCount(), 4);
  ASSERT_EQ(records_.records.size(), 1u);
  const KeyRecord& record = records_.records[0];
  EXPECT_EQ(record.code, kF5);
  EXPECT_EQ(record.group, L"Group 0");
  EXPECT_NE(dir_.Read("record.xml").find("code=\"116\""), std::string::npos);
  for (const widgets::CoordButton& key : picture->buttons()) {
    if (key.id == kF5) {
      EXPECT_EQ(key.checked, 1);
      EXPECT_EQ(key.tip, L"F5 : Group 0");
    }
  }

  // The key now plays the macro: swallowed, and A and B typed with the
  // recorded gaps.
  library_.recording = 0;
  EXPECT_EQ(source_.Feed("+F5 -F5").swallowed, "+F5 -F5");
  ASSERT_TRUE(injector_impl_.WaitForCount(4, std::chrono::seconds(5)));
  const std::vector<platform::InjectedEvent> played = injector_impl_.Events();
  EXPECT_EQ(platform::FormatInjected(played), "+A -A +B -B");
  const auto gap = [&](int i) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(played[i + 1].at - played[i].at).count();
  };
  for (int i = 0; i < 3; ++i) EXPECT_GE(gap(i), static_cast<int64_t>(library_.groups[0].steps[i].delay) - 1) << i;
  EXPECT_GE(gap(0), 50);
}

TEST_F(KeyAssignmentEndToEnd, WithoutTheKeyboardAClickOpensNothing) {
  keyboard_.Unplug();
  Create();
  Settle();
  bool editorSeen = false;
  QTimer::singleShot(0, [&] { editorSeen = Editor() != nullptr; });
  QTest::mouseClick(Get<widgets::CoordButtonImage>("img_keyboard"), Qt::LeftButton, {}, KeyCentre(0x74));
  QTest::qWait(10);
  EXPECT_FALSE(editorSeen);
}

TEST_F(KeyAssignmentEndToEnd, UnpluggingTheKeyboardWhileTheEditorIsOpenEndsTheWindowCleanly) {
  Create();
  Settle();
  QTimer::singleShot(0, [&] {
    keyboard_.Unplug();  // the notification ends the main window, and so the editor
  });
  QTest::mouseClick(Get<widgets::CoordButtonImage>("img_keyboard"), Qt::LeftButton, {}, KeyCentre(0x74));
  Settle();
  EXPECT_EQ(ended_, 1);
  EXPECT_EQ(dlg_->openEditor(), nullptr);
  EXPECT_TRUE(records_.records.empty());
}

TEST_F(KeyAssignmentEndToEnd, RemovingTheAssignmentOfAKeyWithoutOneClearsItsMarkAndSaves) {
  Create();
  Settle();
  auto* picture = Get<widgets::CoordButtonImage>("img_keyboard");
  picture->SetButtonChecked(0x74, 1);
  QTimer::singleShot(0, [&] { ClickIn(Editor(), "btnDelete"); });
  QTest::mouseClick(picture, Qt::LeftButton, {}, KeyCentre(0x74));
  for (const widgets::CoordButton& key : picture->buttons()) {
    if (key.id == 0x74) {
      EXPECT_EQ(key.checked, 0);
      EXPECT_EQ(key.tip, L"F5");
    }
  }
  EXPECT_TRUE(std::filesystem::exists(dir_.File("record.xml")));
}

TEST_F(KeyAssignmentEndToEnd, ReassigningAKeyKeepsItsPlaceInTheRecords) {
  records_.records = {KeyRecord{0x41, 1, 0, 0, L"A", L"B", {{0x42, 0, 0, L""}}},
                      KeyRecord{0x74, 1, 0, 0, L"F5", L"C", {{0x43, 0, 0, L""}}},
                      KeyRecord{0x42, 1, 0, 0, L"B", L"A", {{0x41, 0, 0, L""}}}};
  library_.type = 2;  // a program from config.xml
  config_.functionKeys = {{L"Calculator", L"/usr/bin/calc", L"", 10001}};
  Create();
  Settle();
  QTimer::singleShot(0, [&] { ClickIn(Editor(), "btnOK"); });
  QTest::mouseClick(Get<widgets::CoordButtonImage>("img_keyboard"), Qt::LeftButton, {}, KeyCentre(0x74));
  ASSERT_EQ(records_.records.size(), 3u);
  EXPECT_EQ(records_.records[1].code, 0x74);
  EXPECT_EQ(records_.records[1].type, 2);
  EXPECT_EQ(records_.records[1].group, L"Calculator");
}

}  // namespace
}  // namespace keyloom
