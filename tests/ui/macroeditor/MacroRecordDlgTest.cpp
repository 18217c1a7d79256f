// The macro editor: what opening corrects, and what each command and change
// stores and saves.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/NamedWidgetTable.h"
#include "support/TempDir.h"
#include "support/WidgetClicks.h"
#include "ui/macroeditor/MacroRecordDlg.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SEdit.h"
#include "ui/toolkit/SListView.h"
#include "ui/toolkit/SMCListView.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace keyloom {
namespace {

class MacroEditor : public testing::Test {
 protected:
  MacroEditor() {
    app_.names().Register(NamedWidgetTable());
    widgets::RegisterCustomWidgets(app_.classes());
    app_.Initialize(KEYLOOM_SOURCE_DIR "/uires", "uidef:xml_init");
    library_.Load(dir_.File("macro.xml"));
    library_.groups = {MacroGroup{L"Group 0", {{65, 0, 30, L"A"}, {65, 1, 20, L"A"}, {66, 0, 10, L"B"}}},
                       MacroGroup{L"Group 1", {}}};
    config_.functionKeys = {{L"Calculator", L"/usr/bin/calc", L"", 10001}};
    config_.combinations = {{L"Copy", {{17, 0}, {67, 0}}}};
  }
  ~MacroEditor() override { dlg_.reset(); }

  // Builds the editor; `run` sets it up and shows it as its modal run would.
  void Open(bool run = true) {
    dlg_ = std::make_unique<MacroRecordDlg>(app_, nullptr, library_, config_, nullptr,
                                            MacroRecordDlg::SelectedKeys{{0x74, L"F5"}}, [this] { return now_; });
    ASSERT_TRUE(dlg_->CreateFromLayout("LAYOUT:macro"));
    if (!run) return;
    dlg_->SendInitDialog();
    dlg_->show();
  }
  template <class T>
  T* Get(const char* name) {
    return dlg_->FindChildByName2<T>(name);
  }
  void Click(const char* name) {
    if (!test::ClickByName(dlg_.get(), name)) ADD_FAILURE() << "no widget " << name;
  }
  // Types into an edit as the user would, replacing its text.
  void Type(const char* name, const char* text) {
    QLineEdit* edit = Get<ui::SEdit>(name)->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  // macro.xml as last written; empty when never.
  std::string Saved() const { return std::filesystem::exists(dir_.File("macro.xml")) ? dir_.Read("macro.xml") : ""; }
  int Steps() const { return dlg_->stepAdapter().getCount(); }

  test::TempDir dir_;
  ui::UiApp app_;
  MacroLibrary library_;
  DeviceConfig config_;
  int32_t now_ = 1000;
  std::unique_ptr<MacroRecordDlg> dlg_;
};

TEST_F(MacroEditor, OpeningWithModeSevenResetsItAndSaves) {
  library_.mode = 7;
  Open();
  EXPECT_EQ(library_.mode, 0);
  EXPECT_NE(Saved().find("mode=\"0\""), std::string::npos);
  EXPECT_TRUE(Get<ui::SCheckBox>("chk_macro_realy_delay")->IsChecked());
  EXPECT_FALSE(Get<ui::SCheckBox>("chk_macro_fixed_delay")->IsChecked());
  EXPECT_FALSE(Get<ui::SEdit>("edit_macro_delay_time")->isEnabled());
  EXPECT_EQ(Get<ui::SWindow>("text_recording_keys")->GetWindowText(), "F5");
}

struct GroupCase {
  int32_t group;
  int32_t after;
  int selectedRow;
  int steps;
};

class OpeningGroup : public MacroEditor, public testing::WithParamInterface<GroupCase> {};

TEST_P(OpeningGroup, AGroupOutOfRangeStartsAtTheFirstWithoutSaving) {
  library_.group = GetParam().group;
  Open();
  EXPECT_EQ(library_.group, GetParam().after);
  EXPECT_EQ(Get<ui::SListView>("macro_group")->GetSel(), GetParam().selectedRow);
  EXPECT_EQ(Steps(), GetParam().steps);
  EXPECT_EQ(Saved(), "");
}

INSTANTIATE_TEST_SUITE_P(Table, OpeningGroup, testing::Values(
    GroupCase{0, 0, 0, 3}, GroupCase{1, 1, 1, 0},
    GroupCase{2, 2, -1, 0},  // the group count: kept, no steps
    GroupCase{3, 0, 0, 3}, GroupCase{-1, 0, 0, 3}));

TEST_F(MacroEditor, TheRepeatFieldStoresItsLeadingNumberOnEveryKeystroke) {
  Open();
  Type("edit_macro_repeat_times", "12x");
  EXPECT_EQ(library_.repeat, 12);
  EXPECT_NE(Saved().find("repeat=\"12\""), std::string::npos);
  Type("edit_macro_repeat_times", "");
  EXPECT_EQ(library_.repeat, 0);
  EXPECT_NE(Saved().find("repeat=\"0\""), std::string::npos);
}

TEST_F(MacroEditor, TheDelayFieldFollowsTheDelayMode) {
  library_.delay = 40;
  Open();
  auto* field = Get<ui::SEdit>("edit_macro_delay_time");
  EXPECT_FALSE(field->isEnabled());  // mode 0: measured delays
  Click("chk_macro_no_delay");
  EXPECT_EQ(library_.mode, 2);
  EXPECT_EQ(field->GetWindowText(), "0");
  EXPECT_FALSE(field->isEnabled());
  EXPECT_EQ(library_.delay, 40);
  Click("chk_macro_fixed_delay");
  EXPECT_EQ(library_.mode, 1);
  EXPECT_EQ(field->GetWindowText(), "40");
  EXPECT_TRUE(field->isEnabled());
  Type("edit_macro_delay_time", "25");
  EXPECT_EQ(library_.delay, 25);
  EXPECT_NE(Saved().find("delay=\"25\""), std::string::npos);
  EXPECT_FALSE(Get<ui::SCheckBox>("chk_macro_realy_delay")->IsChecked());
}

TEST_F(MacroEditor, AddingAGroupWithNoneSelectedSelectsTheFirst) {
  library_.groups.resize(1);
  Open();
  Get<ui::SListView>("macro_group")->SetSel(0);
  Click("groupDel");
  EXPECT_EQ(library_.GroupCount(), 0);
  EXPECT_EQ(library_.group, -1);
  Click("groupAdd");
  EXPECT_EQ(library_.GroupCount(), 1);
  EXPECT_EQ(library_.group, 0);
  EXPECT_EQ(Get<ui::SListView>("macro_group")->GetSel(), 0);
  // With a group selected, adding keeps the selection.
  Click("groupAdd");
  EXPECT_EQ(library_.group, 0);
  EXPECT_EQ(Get<ui::SListView>("macro_group")->GetSel(), 0);
}

TEST_F(MacroEditor, StepsMoveButNotPastEitherEnd) {
  Open();
  auto* steps = Get<ui::SMCListView>("key_info");
  steps->SetSel(0);
  Click("item_up");
  EXPECT_EQ(library_.groups[0].steps[0].code, 65u);
  steps->SetSel(2);
  Click("item_down");
  EXPECT_EQ(library_.groups[0].steps[2].code, 66u);
  Click("item_up");
  EXPECT_EQ(library_.groups[0].steps[1].code, 66u);
  EXPECT_EQ(steps->GetSel(), 1);
  Click("item_delete");
  EXPECT_EQ(Steps(), 2);
  Click("item_clear");
  EXPECT_EQ(Steps(), 0);
}

TEST_F(MacroEditor, AStepDelayThatIsNoNumberIsRefused) {
  Open();
  EXPECT_FALSE(dlg_->stepAdapter().setCellText(1, KeyAndDelayAdapter::kDelayColumn, "abc"));
  EXPECT_EQ(library_.groups[0].steps[1].delay, 20u);
  EXPECT_EQ(dlg_->stepAdapter().getCellText(1, KeyAndDelayAdapter::kDelayColumn), "20");
  EXPECT_TRUE(dlg_->stepAdapter().setCellText(1, KeyAndDelayAdapter::kDelayColumn, "75"));
  EXPECT_EQ(library_.groups[0].steps[1].delay, 75u);
  EXPECT_EQ(dlg_->stepAdapter().getCellText(2, 2), "key down");
}

TEST_F(MacroEditor, RecordingNeedsAGroupAndTakesStepsWithMeasuredDelays) {
  library_.groups[1].steps.clear();
  Open();
  Get<ui::SListView>("macro_group")->SetSel(1);
  dlg_->OnMacroGroupClicked(1, L"Group 1");
  Click("chk_macro_record");
  EXPECT_TRUE(Get<ui::SCheckBox>("chk_macro_record")->IsChecked());
  EXPECT_EQ(Get<ui::SCheckBox>("chk_macro_record")->GetWindowText(), "Stop record");
  EXPECT_EQ(library_.recording, 1);
  auto feed = [&](uint32_t message, uint32_t vk, int32_t at) {
    now_ = at;
    platform::KBDLLHOOKSTRUCT event{};
    event.vkCode = vk;
    int code = 0;
    dlg_->OnHookEvent(&code, &message, &event);
  };
  feed(platform::WM_KEYDOWN, 'A', 1000);
  feed(platform::WM_KEYUP, 'A', 1050);
  feed(platform::WM_KEYDOWN, 'B', 1120);
  ASSERT_EQ(library_.groups[1].StepCount(), 3);
  EXPECT_EQ(library_.groups[1].steps[0].delay, 50u);
  EXPECT_EQ(library_.groups[1].steps[1].delay, 70u);
  EXPECT_EQ(Steps(), 3);
  // No group selected: the box unchecks itself.
  Click("chk_macro_record");
  Get<ui::SListView>("macro_group")->SetSel(-1);
  Click("chk_macro_record");
  EXPECT_FALSE(Get<ui::SCheckBox>("chk_macro_record")->IsChecked());
  EXPECT_EQ(library_.recording, 0);
}

TEST_F(MacroEditor, ResultCodesOfTheThreeButtons) {
  for (const auto& [button, result] : std::vector<std::pair<const char*, int>>{
           {"btnOK", ui::SHostDialog::kOk}, {"btnCancel", ui::SHostDialog::kCancel}, {"btnDelete", 0x1003D}}) {
    Open(false);
    QTimer::singleShot(0, [this, button = button] { Click(button); });
    EXPECT_EQ(dlg_->DoModal(), result) << button;
  }
}

}  // namespace
}  // namespace keyloom
