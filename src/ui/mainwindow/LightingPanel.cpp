#include "ui/mainwindow/LightingPanel.h"

#include <algorithm>

#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SSliderBar.h"
#include "ui/toolkit/STabCtrl.h"

namespace keyloom {
namespace {

constexpr int kDirectionPage = 0;
constexpr int kAnimatedPage = 1;
constexpr int kSteadyPage = 2;
constexpr int kOptionPage = 3;

// A slider's value as a record byte: its low eight bits.
uint8_t ByteOf(const ui::SSliderBar* slider) { return static_cast<uint8_t>(slider->GetValue()); }

void SetClamped(ui::SSliderBar* slider, int value) {
  if (slider != nullptr) slider->SetValue(std::clamp(value, slider->GetMin(), slider->GetMax()));
}

}  // namespace

LightingPanel::LightingPanel(LightingEffectSettings& effects, SideLightSettings& sideLight, ILightingSender& sender)
    : effects_(effects), sideLight_(sideLight), sender_(sender) {}

int LightingPanel::PageOfEffect(int index) {
  if (index >= 4 && index <= 7) return kDirectionPage;
  if (index == 2 || index == 3 || (index >= 8 && index <= 20)) return kAnimatedPage;
  if (index == 0 || index == 1 || index == 21) return kSteadyPage;
  if (index == 22) return kOptionPage;
  return -1;
}

void LightingPanel::OnSelChange(const ui::EventArgs& event) {
  auto* box = dynamic_cast<ui::SComboBox*>(event.sender);
  if (box == nullptr) return;
  if (event.senderId == kEffectBoxId) {
    const int index = box->GetCurSel();
    effects_.SetCurrent(index);
    LoadEffect(false);
    sender_.SendLightingEffect(index);
  } else if (event.senderId == kSideBoxId) {
    const int mode = box->GetCurSel();
    sideLight_.SetCurrent(mode);
    LoadSide(false);
    sender_.SendSideLightMode(mode);
  }
}

void LightingPanel::OnEffectControlChanged() {
  SaveEffect();
  if (widgets_.effectBox != nullptr) sender_.SendLightingEffect(widgets_.effectBox->GetCurSel());
}

void LightingPanel::OnSideSliderMoved() {
  SaveSide();
  if (widgets_.sideBox != nullptr) sender_.SendSideLightMode(widgets_.sideBox->GetCurSel());
}

int LightingPanel::CheckedIndex(const std::vector<ui::SRadioBox*>& radios) const {
  for (size_t i = 0; i < radios.size(); ++i) {
    if (radios[i] != nullptr && radios[i]->IsChecked()) return static_cast<int>(i);
  }
  return -1;
}

void LightingPanel::SaveEffect() {
  if (widgets_.effectBox == nullptr) return;
  const int index = widgets_.effectBox->GetCurSel();
  // The entry's save at the end stores the current effect too. Saving it
  // first as well, while it is already current (every step of a drag), only
  // writes the file twice per step, each time waiting for the disk on the UI
  // thread, which holds up the keyboard hook's verdicts.
  const bool entrySaveFollows = index >= 0 && index < LightingEffectSettings::kEntryCount;
  if (!entrySaveFollows || index != effects_.GetCurrent()) effects_.SetCurrent(index);
  EffectEntry* entry = effects_.GetEntry(index);
  if (entry == nullptr || index < 0) return;
  const auto& speed = widgets_.speed;
  const auto& brightness = widgets_.brightness;
  switch (PageOfEffect(index)) {
    case kDirectionPage:
      if (brightness[0] != nullptr) entry->brightness = ByteOf(brightness[0]);
      // The page-0 slider shows the stored speed as it is, in both directions.
      if (speed[0] != nullptr) entry->speed = ByteOf(speed[0]);
      // None checked: 255.
      entry->direction = static_cast<uint8_t>(CheckedIndex(widgets_.direction));
      break;
    case kAnimatedPage:
      if (speed[1] != nullptr) entry->speed = ByteOf(speed[1]);
      if (brightness[1] != nullptr) entry->brightness = ByteOf(brightness[1]);
      entry->selection = 0;
      break;
    case kSteadyPage:
      if (brightness[2] != nullptr) entry->brightness = ByteOf(brightness[2]);
      break;
    default:
      break;
  }
  effects_.Save();
}

void LightingPanel::LoadEffect(bool selectInBox) {
  const int index = effects_.GetCurrent();
  if (selectInBox && widgets_.effectBox != nullptr) widgets_.effectBox->SetCurSel(index);
  const int page = PageOfEffect(index);
  if (page < 0) return;
  if (widgets_.effectTabs != nullptr) widgets_.effectTabs->SetCurSel(page);
  EffectEntry* entry = effects_.GetEntry(index);
  if (entry == nullptr) return;
  switch (page) {
    case kDirectionPage:
      SetClamped(widgets_.speed[0], entry->speed);
      SetClamped(widgets_.brightness[0], entry->brightness);
      // The radios show the stored direction (none for any other value).
      for (size_t i = 0; i < widgets_.direction.size(); ++i) {
        if (widgets_.direction[i] != nullptr) widgets_.direction[i]->SetCheck(entry->direction == i);
      }
      break;
    case kAnimatedPage:
      SetClamped(widgets_.speed[1], entry->speed);
      SetClamped(widgets_.brightness[1], entry->brightness);
      break;
    case kSteadyPage:
      SetClamped(widgets_.brightness[2], entry->brightness);
      entry->selection = 0;
      break;
    default:
      break;
  }
}

void LightingPanel::SaveSide() {
  if (widgets_.sideBox == nullptr) return;
  const int mode = widgets_.sideBox->GetCurSel();
  sideLight_.SetCurrent(mode);
  SideModeEntry* entry = sideLight_.GetEntry(mode);
  if (entry == nullptr || mode < 0 || widgets_.sideSlider == nullptr) return;
  entry->SetLevel(ByteOf(widgets_.sideSlider));
  sideLight_.Save();
}

void LightingPanel::LoadSide(bool selectInBox) {
  const int mode = sideLight_.GetCurrent();
  // The first modes move; the others shine at a level.
  if (widgets_.sideCaption != nullptr) widgets_.sideCaption->SetWindowText(mode <= 2 ? "Speed" : "Brightness");
  if (selectInBox && widgets_.sideBox != nullptr) widgets_.sideBox->SetCurSel(mode);
  const SideModeEntry* entry = sideLight_.GetEntry(mode);
  if (entry == nullptr || mode < 0) return;
  SetClamped(widgets_.sideSlider, entry->Level());
}

}  // namespace keyloom
