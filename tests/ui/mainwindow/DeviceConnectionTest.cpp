// The keyboard's connection: set-up, arrival and removal, and the device
// thread that keeps the window from ever waiting on the keyboard.
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "ui/mainwindow/MainWindowFixture.h"
#include "ui/toolkit/SComboBox.h"
#include "widgets/CoordButtonImage.h"

namespace keyloom {
namespace {

using platform::DeviceChange;

class DeviceConnection : public test::MainWindowFixture {
 protected:
  QString Path() const { return QString::fromStdWString(keyboard_.CommandInterface().notifiedPath); }
};

TEST_F(DeviceConnection, SetUpQueriesTheFirmwareLoadsThePanelsAndSendsTheStartupEffectTwoSecondsLater) {
  Create();
  Settle();
  EXPECT_EQ(Reports(), (std::vector<std::string>{
                           "set-feature 07 f1 00 00 00 00 00 00", "get-feature 07 f1 00 00 00 00 00 00",
                           // The boxes start empty: the stored effect 20 and side mode 0 are selected, saved and sent.
                           "set-feature 07 ff ff 14 05 01 00 00", "set-feature 07 ff ff 20 00 00 40 00"}));
  QElapsedTimer clock;
  clock.start();
  while (Reports().size() < 5 && clock.elapsed() < 5000) QTest::qWait(20);
  const auto timed = TimedReports();
  ASSERT_EQ(timed.size(), 5u);
  // Effect 0's four bytes in their own order, unpaced.
  EXPECT_EQ(timed[4].second, "set-feature 07 ff ff 00 05 01 00 01");
  EXPECT_GE(timed[4].first - timed[0].first, 1800);
}

TEST_F(DeviceConnection, AssignedKeysAreMarkedAndLabelledOnceTheKeyboardIsConnected) {
  records_.records.push_back(KeyRecord{65, 0, 1, 0, L"A", L"Group 1", {}});
  records_.records.push_back(KeyRecord{0x12D, 1, 0, 0, L"Insert", L"", {}});
  Create();
  Settle();
  auto* picture = Get<widgets::CoordButtonImage>("img_keyboard");
  ASSERT_NE(picture, nullptr);
  for (const widgets::CoordButton& key : picture->buttons()) {
    if (key.id == 65) {
      EXPECT_EQ(key.checked, 1);
      EXPECT_EQ(key.tip, L"A : Group 1");
    } else if (key.id == 0x12D) {
      EXPECT_EQ(key.checked, 1);
      EXPECT_EQ(key.tip, L"Insert");  // no group: no " : "
    } else {
      EXPECT_EQ(key.checked, 0) << key.id;
    }
  }
}

TEST_F(DeviceConnection, WithoutTheKeyboardTheWindowWorksAndSendsNothing) {
  keyboard_.Unplug();
  Create();
  Settle();
  EXPECT_EQ(dlg_->firmwareVersion(), -1);
  EXPECT_EQ(Get<ui::SWindow>("version")->GetWindowText(), "Keyboard not connected");
  EXPECT_TRUE(Reports().empty());
  // Plugged in: connected, version shown; the boxes already show the current
  // effect and mode, so nothing is sent but the query.
  keyboard_.Plug();
  Settle();
  EXPECT_EQ(dlg_->firmwareVersion(), 258);
  EXPECT_EQ(Get<ui::SWindow>("version")->GetWindowText(), "Firmware: v1.2");
  EXPECT_EQ(Reports(), (std::vector<std::string>{"set-feature 07 f1 00 00 00 00 00 00",
                                                  "get-feature 07 f1 00 00 00 00 00 00"}));
}

TEST_F(DeviceConnection, UnpluggingTheKeyboardEndsTheWindow) {
  Create();
  Settle();
  keyboard_.Unplug();
  Settle();
  EXPECT_EQ(ended_, 1);
}

TEST_F(DeviceConnection, AfterAConfirmedResetTheKeyboardMayLeaveAndComeBack) {
  Create();
  Settle();
  keyboard_.SetReplugOnFactoryReset(false);
  answer_ = 1;
  Click("btn_restore_factory");
  Settle();
  ASSERT_TRUE(dlg_->factoryResetPending());
  keyboard_.Unplug();
  Settle();
  EXPECT_EQ(ended_, 0);
  EXPECT_EQ(dlg_->firmwareVersion(), -1);
  keyboard_.Plug();
  Settle();
  EXPECT_FALSE(dlg_->factoryResetPending());
  EXPECT_EQ(dlg_->firmwareVersion(), 258);
  keyboard_.Unplug();  // no reset pending any more
  Settle();
  EXPECT_EQ(ended_, 1);
}

struct PathCase {
  const char* path;
  int32_t interface;  // configured
  bool opens;
};

class ArrivalPath : public DeviceConnection, public testing::WithParamInterface<PathCase> {};

TEST_P(ArrivalPath, OnlyThePathOfTheConfiguredKeyboardIsOpened) {
  keyboard_.Unplug();
  config_.interface = GetParam().interface;
  Create();
  Settle();
  keyboard_.Plug();  // the keyboard is there to be opened, but not notified here
  Settle();
  const bool before = dlg_->device().IsOpen();
  dlg_->device().Close();
  ClearLog();
  // The virtual keyboard's own path stands in for "KEYBOARD".
  QString path = QString::fromUtf8(GetParam().path);
  path.replace("KEYBOARD", QString::fromStdWString(keyboard_.CommandInterface().path));
  path.replace("UPPER", Path().toUpper());
  dlg_->OnDeviceChange(DeviceChange::Arrival, path);
  Settle();
  EXPECT_EQ(!Reports().empty(), GetParam().opens) << before;
}

INSTANTIATE_TEST_SUITE_P(Table, ArrivalPath, testing::Values(
    // An unrelated device.
    PathCase{"/devices/hid#vid_046d&pid_c077&mi_01&col01#1", 1, false},
    // The keyboard's path, upper or lower case.
    PathCase{"UPPER", 1, true},
    PathCase{"KEYBOARD", 1, true},
    // Configured interface -1 never equals the path's number.
    PathCase{"KEYBOARD", -1, false},
    // Another interface of the keyboard.
    PathCase{"/devices/hid#vid_1a2b&pid_0001&mi_00#1", 1, false}));

TEST_F(DeviceConnection, TheFirstLightingCommandAfterAReconnectWaits100Ms) {
  Create();
  Settle();
  keyboard_.SetReplugOnFactoryReset(false);
  answer_ = 1;
  Click("btn_restore_factory");
  keyboard_.Unplug();
  Settle();
  ClearLog();
  keyboard_.Plug();
  // The arrival and a choice right after it, before anything else runs.
  dlg_->OnDeviceChange(DeviceChange::Arrival, Path());
  Get<ui::SComboBox>("cbx_color_effect")->combo()->setCurrentIndex(3);
  Settle();
  const auto timed = TimedReports();
  ASSERT_GE(timed.size(), 3u);
  EXPECT_EQ(timed[0].second, "set-feature 07 f1 00 00 00 00 00 00");
  EXPECT_EQ(timed[2].second.substr(0, 23), "set-feature 07 ff ff 03");
  // The pause starts at the open, just before the firmware query.
  EXPECT_GE(timed[2].first - timed[0].first, 95);
}

TEST_F(DeviceConnection, AHeldWriteLeavesTheWindowResponsive) {
  Create();
  Settle();
  keyboard_.SetHoldWrites(true);
  keyboard_.SetReplugOnFactoryReset(false);
  answer_ = 1;
  Click("btn_restore_factory");  // its write now hangs on the device thread
  QElapsedTimer clock;
  clock.start();
  qint64 ranAfter = -1;
  QTimer::singleShot(0, [&] { ranAfter = clock.elapsed(); });
  // A slider drag meanwhile: queued behind the write, the UI goes on.
  Get<ui::SComboBox>("cbx_color_effect")->combo()->setCurrentIndex(9);
  while (ranAfter < 0 && clock.elapsed() < 1000) QCoreApplication::processEvents();
  EXPECT_GE(ranAfter, 0);
  EXPECT_LT(ranAfter, 500);  // far below the held write's 3 s, even on a busy machine
  EXPECT_EQ(effects_.GetCurrent(), 9);
  // Released only once the device thread's write is held: released earlier,
  // the write would wait out its 3 s time-out and never be delivered.
  while (keyboard_.HeldWriteCount() == 0 && clock.elapsed() < 2500) QTest::qWait(5);
  ASSERT_EQ(keyboard_.HeldWriteCount(), 1u);
  keyboard_.ReleaseHeldWrites();
  Settle(4000);
  const std::vector<std::string> reports = Reports();
  ASSERT_GE(reports.size(), 2u);
  EXPECT_EQ(reports[reports.size() - 2], "write 07 f0 aa 00 00 00 00 00");
  EXPECT_EQ(reports.back().substr(0, 23), "set-feature 07 ff ff 09");
}

}  // namespace
}  // namespace keyloom
