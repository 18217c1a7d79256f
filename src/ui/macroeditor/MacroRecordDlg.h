#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "config/DeviceConfig.h"
#include "macros/IKeyboardHookListener.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroRecorder.h"
#include "ui/macroeditor/IOnMacroGroupClickedListener.h"
#include "ui/macroeditor/KeyAndDelayAdapter.h"
#include "ui/macroeditor/MacroGroupAdapter.h"
#include "ui/toolkit/EventMap.h"
#include "ui/toolkit/SHostDialog.h"

namespace keyloom {

namespace widgets {
class CoordButtonImage;
}
namespace ui {
class SCheckBox;
class SComboBox;
class SEdit;
class SListView;
class SMCListView;
class STabCtrl;
}  // namespace ui

// The macro editor: the modal dialog ("LAYOUT:macro") in which the user
// decides what a clicked key shall do: a macro (a group of the library, with
// recording, step editing, repeat count, delay mode and click-to-stop), a
// single key captured from the keyboard, a program or media key, or a key
// combination. It edits the library in place and saves it for most setting
// changes; it ends with kOk, kCancel or kDelete.
class MacroRecordDlg : public ui::SHostDialog,
                       public IKeyboardHookListener,
                       public IOnMacroGroupClickedListener,
                       private IMacroRecorderHost {
  Q_OBJECT
 public:
  static constexpr int kDelete = 0x1003D;  // the id of "btnDelete": remove the assignment

  // Keys being assigned: one-byte key code → name.
  using SelectedKeys = std::map<uint8_t, std::wstring>;

  MacroRecordDlg(ui::UiApp& app, QWidget* owner, MacroLibrary& library, const DeviceConfig& config,
                 widgets::CoordButtonImage* picture, const SelectedKeys& selectedKeys,
                 MacroRecorder::Clock clock = &ProcessMilliseconds);
  ~MacroRecordDlg() override;

  bool OnEvent(ui::EventArgs& event) override;
  static const ui::EventMap<MacroRecordDlg>& EventMap();

  // Recording and single-key capture (the main window hands the hook's
  // events here while the library records or page 1 shows).
  int OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) override;
  void OnMacroGroupClicked(int index, std::wstring name) override;

  MacroGroupAdapter& groupAdapter() { return groups_; }
  KeyAndDelayAdapter& stepAdapter() { return steps_; }

 protected:
  int OnInitDialog() override;

 private:
  // IMacroRecorderHost
  int Page() const override;
  bool IsRecordChecked() const override;
  MacroGroup* ShownGroup() override { return steps_.Group(); }
  void StepsChanged() override { steps_.notifyDataSetChanged(); }
  bool PictureKeyName(uint32_t id, std::wstring* name) const override;
  void SetSingleKey(const std::wstring* text, uint32_t userData) override;

  void FindWidgets();
  int SelectedGroupRow() const;
  int SelectedStepRow() const;
  // `group` follows the group list's selection (not saved).
  void FollowGroupSelection();
  void SetMode(int mode);

  void OnOk(ui::EventArgs&);
  void OnCancel(ui::EventArgs&) { EndDialog(kCancel); }
  void OnDeleteAssignment(ui::EventArgs&) { EndDialog(kDelete); }
  void OnMin(ui::EventArgs&) { showMinimized(); }
  void OnRestore(ui::EventArgs&) { showNormal(); }
  void OnGroupAdd(ui::EventArgs&);
  void OnGroupDel(ui::EventArgs&);
  void OnItemUp(ui::EventArgs&);
  void OnItemDown(ui::EventArgs&);
  void OnItemDelete(ui::EventArgs&);
  void OnItemClear(ui::EventArgs&);
  void OnRecord(ui::EventArgs&);
  void OnClickToStop(ui::EventArgs&);
  void OnRealDelay(ui::EventArgs&) { SetMode(0); }
  void OnFixedDelay(ui::EventArgs&) { SetMode(1); }
  void OnNoDelay(ui::EventArgs&) { SetMode(2); }
  void OnPageChanged(ui::EventArgs& event);
  void OnRepeatText(ui::EventArgs& event);
  void OnDelayText(ui::EventArgs& event);
  void OnMediaChosen(ui::EventArgs& event);
  void OnFunctionChosen(ui::EventArgs& event);
  void OnGroupNameText(ui::EventArgs& event);
  void OnStepDelayText(ui::EventArgs& event);
  void OnGroupRowClicked(ui::EventArgs& event);

  MacroLibrary& library_;
  const DeviceConfig& config_;
  widgets::CoordButtonImage* picture_;
  SelectedKeys selectedKeys_;
  MacroGroupAdapter groups_;
  KeyAndDelayAdapter steps_;
  MacroRecorder recorder_;

  ui::STabCtrl* pages_ = nullptr;
  ui::SListView* groupList_ = nullptr;
  ui::SMCListView* stepList_ = nullptr;
  ui::SCheckBox* record_ = nullptr;
  ui::SCheckBox* clickToStop_ = nullptr;
  ui::SCheckBox* singleRecord_ = nullptr;
  std::array<ui::SCheckBox*, 3> modes_{};  // by delay mode
  ui::SEdit* repeatField_ = nullptr;
  ui::SEdit* delayField_ = nullptr;
  ui::SWindow* singleKey_ = nullptr;
  ui::SComboBox* mediaKeys_ = nullptr;
  ui::SComboBox* functionKeys_ = nullptr;
  ui::SWindow* recordingKeys_ = nullptr;
  // While opening, the boxes' selections are the library's own: no save.
  bool opening_ = false;
};

}  // namespace keyloom
