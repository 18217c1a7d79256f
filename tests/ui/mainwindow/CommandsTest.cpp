// The language switch, the firmware line and check, and the factory reset.
#include <QComboBox>
#include <fstream>

#include "ui/mainwindow/FirmwareText.h"
#include "ui/mainwindow/MainWindowFixture.h"
#include "ui/toolkit/SComboBox.h"
#include "widgets/CoordButtonImage.h"

namespace keyloom {
namespace {

class Commands : public test::MainWindowFixture {
 protected:
  Commands() {
    Create();
    Settle();
    ClearLog();
  }
  QString VersionText() { return Get<ui::SWindow>("version")->GetWindowText(); }
};

struct VersionCase {
  int32_t version;
  const char* english;
  const char* chinese;
};

class FirmwareLine : public testing::TestWithParam<VersionCase> {};

TEST_P(FirmwareLine, ShowsMajorAndMinorOrTheEarlyVersion) {
  ui::Translator none;
  EXPECT_EQ(FirmwareText(GetParam().version, none), QString::fromUtf8(GetParam().english));
  ui::ResourceProvider resources;
  resources.Open(KEYLOOM_SOURCE_DIR "/uires");
  ui::Translator chinese;
  ASSERT_TRUE(chinese.LoadAndInstall(resources, "lang_cn"));
  EXPECT_EQ(FirmwareText(GetParam().version, chinese), QString::fromUtf8(GetParam().chinese));
}

INSTANTIATE_TEST_SUITE_P(Table, FirmwareLine, testing::Values(
    VersionCase{258, "Firmware: v1.2", "固件版本: v1.2"},
    VersionCase{256, "Firmware: v1.0", "固件版本: v1.0"},
    VersionCase{0, "Firmware: Early version", "固件版本：早期版本"},
    VersionCase{0x0A0F, "Firmware: v10.15", "固件版本: v10.15"},
    VersionCase{-1, "", ""}));

TEST_F(Commands, TheConnectedKeyboardsVersionIsShown) {
  EXPECT_EQ(dlg_->firmwareVersion(), 258);
  EXPECT_EQ(VersionText(), "Firmware: v1.2");
}

TEST_F(Commands, SwitchingToChineseTwiceKeepsChineseAndLeavesConfigAlone) {
  const std::string config = dir_.Write("config.xml", "<local language=\"en\"/>");
  Click("zh_cn");
  Click("zh_cn");
  EXPECT_EQ(Get<ui::SWindow>("heading_effect")->GetDisplayText(), QString::fromUtf8("灯光效果"));
  EXPECT_EQ(VersionText(), QString::fromUtf8("固件版本: v1.2"));
  Click("jp");
  EXPECT_EQ(Get<ui::SWindow>("heading_effect")->GetDisplayText(), "Lighting effect");
  EXPECT_EQ(dir_.Read("config.xml"), "<local language=\"en\"/>");
}

TEST_F(Commands, FirmwareCheckWithoutTheKeyboardAsksForItAndTouchesNothing) {
  dlg_.reset();
  keyboard_.Unplug();
  Create();
  Settle();
  ClearLog();
  dlg_->PostMenuCommand(CMainDlg::kCommandFirmwareCheck);
  Settle();
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0], "Please insert USB device");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(Commands, FirmwareCheckOnTheLatestVersionSaysSoWithoutReopening) {
  keyboard_.SetFirmwareVersion(1, 0);
  dlg_->PostMenuCommand(CMainDlg::kCommandFirmwareCheck);  // reopens: 1.2 was read at start
  Settle();
  EXPECT_EQ(dlg_->firmwareVersion(), 256);
  EXPECT_EQ(VersionText(), "Firmware: v1.0");
  ClearLog();
  dlg_->PostMenuCommand(CMainDlg::kCommandFirmwareCheck);
  Settle();
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0], "The firmware is already the latest version and no upgrade is required.");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(Commands, ResetAnsweredWithCancelChangesNothing) {
  records_.records.push_back(KeyRecord{65, 1, 0, 0, L"A", L"B", {}});
  effects_.SetCurrent(3);
  const std::string ledeffect = dir_.Read("ledeffect.xml");
  answer_ = 2;
  Click("btn_restore_factory");
  Settle();
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0], "All settings will be restored, are you sure you want to   continue?");
  EXPECT_FALSE(dlg_->factoryResetPending());
  EXPECT_EQ(records_.records.size(), 1u);
  EXPECT_EQ(dir_.Read("ledeffect.xml"), ledeffect);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(Commands, ResetWithEffectTwentySelectedSendsTheSideModeAndTheResetOnly) {
  keyboard_.SetReplugOnFactoryReset(false);
  // Start-up selected the stored effect 20; move the side light away from 0.
  Get<ui::SComboBox>("cbx_side_color_effect")->combo()->setCurrentIndex(4);
  Settle();
  records_.records.push_back(KeyRecord{65, 1, 0, 0, L"A", L"B", {}});
  library_.repeat = 9;
  library_.group = 3;
  auto* picture = Get<widgets::CoordButtonImage>("img_keyboard");
  picture->SetButtonChecked(65, 1);
  ClearLog();
  answer_ = 1;
  Click("btn_restore_factory");
  Settle();
  EXPECT_TRUE(dlg_->factoryResetPending());
  EXPECT_TRUE(records_.records.empty());
  EXPECT_EQ(library_.repeat, 1);
  EXPECT_EQ(library_.group, 0);
  EXPECT_EQ(effects_.GetCurrent(), 20);
  EXPECT_EQ(side_.GetCurrent(), 0);
  for (const widgets::CoordButton& key : picture->buttons()) EXPECT_EQ(key.checked, 0) << key.id;
  // No effect command: the box already showed effect 20. The side mode
  // changed back to 0, so it is sent; the reset goes last.
  EXPECT_EQ(Reports(), (std::vector<std::string>{"set-feature 07 ff ff 20 00 00 40 00", "write 07 f0 aa 00 00 00 00 00"}));
}

}  // namespace
}  // namespace keyloom
