// The lighting panel: every change the user makes is stored, saved and sent;
// what the program loads into the controls is neither.
#include <QComboBox>
#include <QSlider>
#include <filesystem>
#include <map>
#include <pugixml.hpp>
#include <string_view>

#include "platform/AtomicFileWriter.h"
#include "ui/mainwindow/MainWindowFixture.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SSliderBar.h"
#include "ui/toolkit/STabCtrl.h"

namespace keyloom {
namespace {

class LightingPanelTest : public test::MainWindowFixture {
 protected:
  LightingPanelTest() {
    Create();
    Settle();
    ClearLog();
  }
  // The user picks an item of a combo box.
  void Choose(const char* box, int index) {
    Get<ui::SComboBox>(box)->combo()->setCurrentIndex(index);
    Settle();
  }
  // The user moves a slider.
  void Move(const char* slider, int value) {
    Get<ui::SSliderBar>(slider)->slider()->setValue(value);
    Settle();
  }
  // The entry as written to ledeffect.xml (read raw: reading the file back
  // through the model would correct what a save may hold, like direction 255).
  EffectEntry Saved(int index) const {
    pugi::xml_document doc;
    doc.load_file(dir_.File("ledeffect.xml").c_str());
    pugi::xml_node item = doc.document_element().first_child();
    for (int i = 0; i < index; ++i) item = item.next_sibling();
    return EffectEntry{static_cast<uint8_t>(item.attribute("brightness").as_uint()),
                       static_cast<uint8_t>(item.attribute("speed").as_uint()),
                       static_cast<uint8_t>(item.attribute("deriction").as_uint()),
                       static_cast<uint8_t>(item.attribute("selection").as_uint())};
  }
};

struct PageCase {
  int effect;
  int page;
};

class EffectPage : public LightingPanelTest, public testing::WithParamInterface<PageCase> {};

TEST_P(EffectPage, ChoosingAnEffectShowsItsPageStoresItAndSendsIt) {
  Choose("cbx_color_effect", GetParam().effect);
  EXPECT_EQ(Get<ui::STabCtrl>("tab_color_effect")->GetCurSel(), GetParam().page);
  EXPECT_EQ(effects_.GetCurrent(), GetParam().effect);
  LightingEffectSettings fromFile;
  fromFile.Load(dir_.File("ledeffect.xml"));
  EXPECT_EQ(fromFile.GetCurrent(), GetParam().effect);
  const std::vector<std::string> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  char effect[3];
  std::snprintf(effect, sizeof effect, "%02x", GetParam().effect);
  EXPECT_EQ(reports[0].substr(0, 23), std::string("set-feature 07 ff ff ") + effect);
}

INSTANTIATE_TEST_SUITE_P(Table, EffectPage, testing::Values(
    PageCase{5, 0}, PageCase{4, 0}, PageCase{7, 0}, PageCase{12, 1}, PageCase{2, 1}, PageCase{13, 1},
    PageCase{21, 2}, PageCase{0, 2}, PageCase{1, 2}));

TEST_F(LightingPanelTest, BrightnessOnEffectNineStoresThePageAndSendsEffectNine) {
  Choose("cbx_color_effect", 9);
  ClearLog();
  Get<ui::SSliderBar>("bar_general_speed_1")->SetValue(2);  // a program's change: nothing happens
  EXPECT_TRUE(Reports().empty());
  Move("bar_const_brightness_1", 3);
  const EffectEntry saved = Saved(9);
  EXPECT_EQ(saved.brightness, 3);
  EXPECT_EQ(saved.speed, 2);
  EXPECT_EQ(saved.selection, 0);
  EXPECT_EQ(Reports(), std::vector<std::string>{"set-feature 07 ff ff 09 03 02 00 00"});
}

// Counts the saves of each file, writing them as the system's writer does.
class CountingWriter : public platform::IAtomicFileWriter {
 public:
  bool Write(const std::string& path, std::string_view bytes) override {
    ++writes[std::filesystem::path(path).filename().string()];
    return system_->Write(path, bytes);
  }
  std::map<std::string, int> writes;

 private:
  std::unique_ptr<platform::IAtomicFileWriter> system_ = platform::MakeAtomicFileWriter();
};

TEST_F(LightingPanelTest, EachSliderStepOfTheCurrentEffectSavesTheFileOnce) {
  Choose("cbx_color_effect", 9);
  ClearLog();
  CountingWriter writer;
  const platform::ScopedAtomicFileWriter scoped(writer);
  Move("bar_const_brightness_1", 3);
  Move("bar_const_brightness_1", 4);
  EXPECT_EQ(writer.writes["ledeffect.xml"], 2);
  LightingEffectSettings fromFile;
  fromFile.Load(dir_.File("ledeffect.xml"));
  EXPECT_EQ(fromFile.GetCurrent(), 9);
  EXPECT_EQ(Saved(9).brightness, 4);
  EXPECT_EQ(Reports().size(), 2u);
}

TEST_F(LightingPanelTest, DirectionRadiosStoreTheirIndexOr255WhenNoneIsChecked) {
  Choose("cbx_color_effect", 6);
  ClearLog();
  Click("radio_direction_right_0");
  Settle();
  EXPECT_EQ(Saved(6).direction, 1);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0].substr(0, 23), "set-feature 07 ff ff 06");
  EXPECT_EQ(Reports()[0].substr(Reports()[0].size() - 2), "01");
  Get<ui::SRadioBox>("radio_direction_right_0")->SetCheck(false);
  Move("bar_general_speed_0", 0);  // it showed the stored speed 1
  EXPECT_EQ(Saved(6).direction, 255);
  EXPECT_EQ(Saved(6).speed, 0);
}

TEST_F(LightingPanelTest, LoadingAnEffectShowsItsStoredDirection) {
  effects_.GetEntry(5)->direction = 1;
  effects_.SetCurrent(5);
  dlg_->lightingPanel().LoadEffect(true);
  Settle();
  EXPECT_TRUE(Get<ui::SRadioBox>("radio_direction_right_0")->IsChecked());
  EXPECT_FALSE(Get<ui::SRadioBox>("radio_direction_left_0")->IsChecked());
}

struct SideCase {
  int mode;
  const char* caption;
};

class SideCaption : public LightingPanelTest, public testing::WithParamInterface<SideCase> {};

TEST_P(SideCaption, TheSliderIsCalledSpeedForTheMovingModesAndBrightnessForTheOthers) {
  Choose("cbx_side_color_effect", GetParam().mode);
  EXPECT_EQ(Get<ui::SWindow>("text_side_brightness")->GetWindowText(), GetParam().caption);
  EXPECT_EQ(side_.GetCurrent(), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Table, SideCaption, testing::Values(
    SideCase{0, "Speed"}, SideCase{2, "Speed"}, SideCase{3, "Brightness"}, SideCase{11, "Brightness"}));

TEST_F(LightingPanelTest, TheSideLevelKeepsTheLowBitsOfItsByte) {
  side_.GetEntry(5)->byte0 = 0x7A;
  Choose("cbx_side_color_effect", 5);
  EXPECT_EQ(Get<ui::SSliderBar>("bar_side_brightness")->GetValue(), 7);
  ClearLog();
  Move("bar_side_brightness", 3);
  EXPECT_EQ(side_.GetEntry(5)->byte0, 0x3A);
  EXPECT_EQ(Reports(), std::vector<std::string>{"set-feature 07 ff ff 20 00 00 35 00"});
}

TEST_F(LightingPanelTest, LoadingWhatTheBoxesAlreadyShowSendsNothing) {
  dlg_->lightingPanel().LoadEffect(true);
  dlg_->lightingPanel().LoadSide(true);
  Settle();
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace keyloom
