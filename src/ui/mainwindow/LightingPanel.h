#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "ui/mainwindow/ILightingSender.h"
#include "ui/toolkit/EventArgs.h"

namespace keyloom {

namespace ui {
class SComboBox;
class SRadioBox;
class SSliderBar;
class STabCtrl;
class SWindow;
}  // namespace ui

// The lighting panel of the main window: keeps its controls and the two
// lighting models in step, both ways, and sends every change the user makes
// to the keyboard. Each reference may be empty (the layout lacks the
// widget); the steps that use it are then skipped.
class LightingPanel {
 public:
  static constexpr int kEffectBoxId = 65541;
  static constexpr int kSideBoxId = 65558;

  struct Widgets {
    ui::SComboBox* effectBox = nullptr;
    ui::STabCtrl* effectTabs = nullptr;
    std::array<ui::SSliderBar*, 4> speed{};       // by page; page 2 has none
    std::array<ui::SSliderBar*, 4> brightness{};  // by page
    std::vector<ui::SRadioBox*> direction;        // left, right (page 0)
    std::vector<ui::SRadioBox*> option;           // first, second (page 3)
    ui::SComboBox* sideBox = nullptr;
    ui::SSliderBar* sideSlider = nullptr;
    ui::SWindow* sideCaption = nullptr;
  };

  LightingPanel(LightingEffectSettings& effects, SideLightSettings& sideLight, ILightingSender& sender);

  Widgets& widgets() { return widgets_; }

  // The tab page that carries effect `index`: 0 for the effects with a
  // direction, 1 for those with speed and brightness, 2 for those with
  // brightness alone, 3 for effect 22; -1 for any other index.
  static int PageOfEffect(int index);

  // Selection change of the effect or the side box (told apart by the
  // sender's identifier; other senders are ignored).
  void OnSelChange(const ui::EventArgs& event);
  // A slider of an effect page moved or a direction or option radio was clicked.
  void OnEffectControlChanged();
  // The side slider moved.
  void OnSideSliderMoved();

  // Controls to the effect model (and the file).
  void SaveEffect();
  // The effect model to the controls; with `selectInBox` the effect box
  // first selects the current effect, which, when that changes its
  // selection, runs the box's handler: the effect is saved and sent.
  void LoadEffect(bool selectInBox);
  void SaveSide();
  void LoadSide(bool selectInBox);

 private:
  int CheckedIndex(const std::vector<ui::SRadioBox*>& radios) const;

  LightingEffectSettings& effects_;
  SideLightSettings& sideLight_;
  ILightingSender& sender_;
  Widgets widgets_;
};

}  // namespace keyloom
