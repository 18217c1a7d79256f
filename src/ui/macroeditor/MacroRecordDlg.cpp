#include "ui/macroeditor/MacroRecordDlg.h"


#include "config/CNumber.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SEdit.h"
#include "ui/toolkit/SListView.h"
#include "ui/toolkit/SMCListView.h"
#include "ui/toolkit/STabCtrl.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CoordButtonImage.h"

namespace keyloom {
namespace {

// A field's text as a number: its leading digits, 0 when there are none
// (a number too large for 32 bits saturates).
int32_t LeadingNumber(const QString& text) { return CLong32(text.toStdString(), 10); }

const char* const kModeNames[3] = {"chk_macro_realy_delay", "chk_macro_fixed_delay", "chk_macro_no_delay"};

}  // namespace

MacroRecordDlg::MacroRecordDlg(ui::UiApp& app, QWidget* owner, MacroLibrary& library, const DeviceConfig& config,
                               widgets::CoordButtonImage* picture, const SelectedKeys& selectedKeys,
                               MacroRecorder::Clock clock)
    : SHostDialog(app, owner),
      library_(library),
      config_(config),
      picture_(picture),
      selectedKeys_(selectedKeys),
      groups_(library),
      steps_(library, &app.translator()),
      recorder_(library, *this, std::move(clock)) {}

MacroRecordDlg::~MacroRecordDlg() {
  // The lists let go of the adapters before the adapters go.
  if (groupList_ != nullptr) groupList_->SetAdapter(nullptr);
  if (stepList_ != nullptr) stepList_->SetAdapter(nullptr);
}

// One row per notification, first match wins.
const ui::EventMap<MacroRecordDlg>& MacroRecordDlg::EventMap() {
  using K = ui::EventKind;
  using D = MacroRecordDlg;
  static const ui::EventMap<MacroRecordDlg> map{
      {K::Command, "btnOK", 0, 0, &D::OnOk},
      {K::Command, "btnCancel", 0, 0, &D::OnCancel},
      {K::Command, "btnDelete", 0, 0, &D::OnDeleteAssignment},
      {K::Command, "btnMin", 0, 0, &D::OnMin},
      {K::Command, "btnRestore", 0, 0, &D::OnRestore},
      {K::Command, "groupAdd", 0, 0, &D::OnGroupAdd},
      {K::Command, "groupDel", 0, 0, &D::OnGroupDel},
      {K::Command, "item_up", 0, 0, &D::OnItemUp},
      {K::Command, "item_down", 0, 0, &D::OnItemDown},
      {K::Command, "item_delete", 0, 0, &D::OnItemDelete},
      {K::Command, "item_clear", 0, 0, &D::OnItemClear},
      {K::Command, "chk_macro_record", 0, 0, &D::OnRecord},
      {K::Command, "click_to_stop", 0, 0, &D::OnClickToStop},
      {K::Command, "chk_macro_realy_delay", 0, 0, &D::OnRealDelay},
      {K::Command, "chk_macro_fixed_delay", 0, 0, &D::OnFixedDelay},
      {K::Command, "chk_macro_no_delay", 0, 0, &D::OnNoDelay},
      {K::TabSelChange, "tab_macro_mode_selection", 0, 0, &D::OnPageChanged},
      {K::TextChange, "edit_macro_repeat_times", 0, 0, &D::OnRepeatText},
      {K::TextChange, "edit_macro_delay_time", 0, 0, &D::OnDelayText},
      {K::ComboSelChange, "cmb_media_keys", 0, 0, &D::OnMediaChosen},
      {K::ComboSelChange, "cmb_function_keys", 0, 0, &D::OnFunctionChosen},
      {K::TextChange, "group_name", 0, 0, &D::OnGroupNameText},
      {K::TextChange, "key_delay", 0, 0, &D::OnStepDelayText},
      {K::ListItemClick, "macro_group", 0, 0, &D::OnGroupRowClicked},
      {K::ListSelChange, "macro_group", 0, 0, &D::OnGroupRowClicked},
  };
  return map;
}

bool MacroRecordDlg::OnEvent(ui::EventArgs& event) { return EventMap().Dispatch(*this, event); }

void MacroRecordDlg::FindWidgets() {
  pages_ = FindChildByName2<ui::STabCtrl>("tab_macro_mode_selection");
  groupList_ = FindChildByName2<ui::SListView>("macro_group");
  stepList_ = FindChildByName2<ui::SMCListView>("key_info");
  record_ = FindChildByName2<ui::SCheckBox>("chk_macro_record");
  clickToStop_ = FindChildByName2<ui::SCheckBox>("click_to_stop");
  singleRecord_ = FindChildByName2<ui::SCheckBox>("chk_single_record");
  for (int mode = 0; mode < 3; ++mode) modes_[mode] = FindChildByName2<ui::SCheckBox>(kModeNames[mode]);
  repeatField_ = FindChildByName2<ui::SEdit>("edit_macro_repeat_times");
  delayField_ = FindChildByName2<ui::SEdit>("edit_macro_delay_time");
  singleKey_ = FindChildByName2<ui::SWindow>("edit_single_key");
  mediaKeys_ = FindChildByName2<ui::SComboBox>("cmb_media_keys");
  functionKeys_ = FindChildByName2<ui::SComboBox>("cmb_function_keys");
  recordingKeys_ = FindChildByName2<ui::SWindow>("text_recording_keys");
}

int MacroRecordDlg::OnInitDialog() {
  opening_ = true;
  FindWidgets();
  // 1. The lists and their adapters.
  if (stepList_ != nullptr) stepList_->SetAdapter(&steps_);
  if (groupList_ != nullptr) groupList_->SetAdapter(&groups_);
  groups_.SetClickListener(this);
  // 2. A selected group past the end or negative starts at the first (not
  // saved); one just past the last group stays and shows no steps.
  if (library_.group < 0 || library_.group > library_.GroupCount()) library_.group = 0;
  if (groupList_ != nullptr) groupList_->SetSel(library_.group);
  steps_.SetGroup(library_.GetGroup(-1) != nullptr ? library_.group : -1);
  // 3. Recording starts afresh.
  recorder_.ResetTimeStamp();
  // 4. The keys being assigned.
  QStringList names;
  for (const auto& [code, name] : selectedKeys_) names << QString::fromStdWString(name);
  if (recordingKeys_ != nullptr) recordingKeys_->SetWindowText(names.join(QLatin1Char(',')));
  // 5.-6. The delay mode.
  if (library_.mode >= 3) {
    library_.mode = 0;
    library_.Save();
  }
  for (int mode = 0; mode < 3; ++mode) {
    if (modes_[mode] != nullptr) modes_[mode]->SetCheck(mode == library_.mode);
  }
  // 7. The captured single key.
  if (singleKey_ != nullptr) {
    std::wstring name;
    if (library_.skcode == 0)
      singleKey_->SetWindowText(QString());
    else if (PictureKeyName(static_cast<uint32_t>(library_.skcode), &name))
      singleKey_->SetWindowText(QString::fromStdWString(name));
  }
  // 8. The programs and combinations of config.xml, in their order.
  if (mediaKeys_ != nullptr) {
    for (const FunctionKeyAction& action : config_.functionKeys) mediaKeys_->InsertItem(-1, QString::fromStdWString(action.name));
  }
  if (functionKeys_ != nullptr) {
    for (const KeyCombination& combination : config_.combinations)
      functionKeys_->InsertItem(-1, QString::fromStdWString(combination.name));
  }
  // 9.-10. The page and the fields.
  if (pages_ != nullptr) pages_->SetCurSel(library_.type);
  if (delayField_ != nullptr) delayField_->SetWindowText(QString::number(library_.delay));
  if (repeatField_ != nullptr) repeatField_->SetWindowText(QString::number(library_.repeat));
  if (delayField_ != nullptr) {
    if (library_.mode == 2) delayField_->SetWindowText(QStringLiteral("0"));
    delayField_->setEnabled(library_.mode == 1);
  }
  // 11. Recording off, the chosen entries, click-to-stop.
  if (record_ != nullptr) record_->SetCheck(false);
  if (functionKeys_ != nullptr) functionKeys_->SetCurSel(library_.function);
  if (mediaKeys_ != nullptr) mediaKeys_->SetCurSel(library_.media);
  if (singleRecord_ != nullptr) singleRecord_->SetCheck(false);
  if (clickToStop_ != nullptr) clickToStop_->SetCheck(library_.playmode != 0);
  opening_ = false;
  return 0;
}

int MacroRecordDlg::OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) {
  return recorder_.OnHookEvent(code, message, event);
}

void MacroRecordDlg::OnMacroGroupClicked(int index, std::wstring) {
  steps_.SetGroup(index);
  library_.group = SelectedGroupRow();
}

int MacroRecordDlg::Page() const { return pages_ != nullptr ? pages_->GetCurSel() : -1; }

bool MacroRecordDlg::IsRecordChecked() const { return record_ != nullptr && record_->IsChecked(); }

bool MacroRecordDlg::PictureKeyName(uint32_t id, std::wstring* name) const {
  return picture_ != nullptr && picture_->ButtonName(static_cast<int32_t>(id), name);
}

void MacroRecordDlg::SetSingleKey(const std::wstring* text, uint32_t) {
  if (singleKey_ != nullptr && text != nullptr) singleKey_->SetWindowText(QString::fromStdWString(*text));
}

int MacroRecordDlg::SelectedGroupRow() const { return groupList_ != nullptr ? groupList_->GetSel() : -1; }

int MacroRecordDlg::SelectedStepRow() const { return stepList_ != nullptr ? stepList_->GetSel() : -1; }

void MacroRecordDlg::FollowGroupSelection() { library_.group = SelectedGroupRow(); }

void MacroRecordDlg::SetMode(int mode) {
  library_.mode = mode;
  if (delayField_ != nullptr) {
    if (mode == 1) delayField_->SetWindowText(QString::number(library_.delay));
    if (mode == 2) delayField_->SetWindowText(QStringLiteral("0"));
    delayField_->setEnabled(mode == 1);
  }
  library_.Save();
}

void MacroRecordDlg::OnOk(ui::EventArgs&) {
  if (!selectedKeys_.empty() && Page() < 3) library_.group = SelectedGroupRow();
  EndDialog(kOk);
}

void MacroRecordDlg::OnGroupAdd(ui::EventArgs&) {
  groups_.Add();
  if (library_.group < 0 && library_.GroupCount() > 0) {
    library_.group = 0;
    if (groupList_ != nullptr) groupList_->SetSel(0);
    steps_.SetGroup(0);
  }
}

void MacroRecordDlg::OnGroupDel(ui::EventArgs&) {
  groups_.Delete(SelectedGroupRow());
  FollowGroupSelection();
  // The rows moved up: the step list shows the group now in the selected row.
  steps_.SetGroup(library_.group);
}

void MacroRecordDlg::OnItemUp(ui::EventArgs&) {
  const int row = SelectedStepRow();
  if (row > 0 && steps_.MoveUp(row)) {
    stepList_->SetSel(row - 1);
    FollowGroupSelection();
  }
}

void MacroRecordDlg::OnItemDown(ui::EventArgs&) {
  const int row = SelectedStepRow();
  if (row >= 0 && row < steps_.getCount() && steps_.MoveDown(row)) {
    stepList_->SetSel(row + 1);
    FollowGroupSelection();
  }
}

void MacroRecordDlg::OnItemDelete(ui::EventArgs&) {
  steps_.Delete(SelectedStepRow());
  FollowGroupSelection();
}

void MacroRecordDlg::OnItemClear(ui::EventArgs&) {
  steps_.Clear();
  FollowGroupSelection();
}

void MacroRecordDlg::OnRecord(ui::EventArgs&) {
  if (record_ == nullptr) return;
  // Recording needs a group to record into.
  if (SelectedGroupRow() < 0) record_->SetCheck(false);
  else record_->SetWindowText(record_->IsChecked() ? QStringLiteral("Stop record") : QStringLiteral("Start record"));
  library_.recording = record_->IsChecked() ? 1 : 0;
}

void MacroRecordDlg::OnClickToStop(ui::EventArgs&) {
  if (clickToStop_ != nullptr) library_.playmode = clickToStop_->IsChecked() ? 1 : 0;
}

void MacroRecordDlg::OnPageChanged(ui::EventArgs& event) {
  library_.type = event.value;
  library_.Save();
}

void MacroRecordDlg::OnRepeatText(ui::EventArgs& event) {
  library_.repeat = LeadingNumber(event.text);
  library_.Save();
}

void MacroRecordDlg::OnDelayText(ui::EventArgs& event) {
  if (library_.mode != 1) return;
  library_.delay = LeadingNumber(event.text);
  library_.Save();
}

void MacroRecordDlg::OnMediaChosen(ui::EventArgs& event) {
  if (opening_) return;
  library_.media = event.value;
  library_.Save();
}

void MacroRecordDlg::OnFunctionChosen(ui::EventArgs& event) {
  if (opening_) return;
  library_.function = event.value;
  library_.Save();
}

void MacroRecordDlg::OnGroupNameText(ui::EventArgs& event) { groups_.Rename(event.index, event.text); }

void MacroRecordDlg::OnStepDelayText(ui::EventArgs& event) {
  // A text that is no number is refused when the edit is committed: the
  // cell then shows the stored delay again.
  steps_.SetDelayText(event.index, event.text);
}

void MacroRecordDlg::OnGroupRowClicked(ui::EventArgs& event) { groups_.OnRowClicked(event.index); }

}  // namespace keyloom
