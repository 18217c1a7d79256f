#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "config/DeviceConfig.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "support/TempDir.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::test {

// The main window built from the shipped resource folder, with models of
// its own in a temporary folder, the virtual keyboard (logging what it
// receives) behind it and message boxes answered by the test.
class MainWindowFixture : public testing::Test {
 protected:
  static constexpr const char* kInstance = "test-instance";

  MainWindowFixture();
  ~MainWindowFixture() override;

  // Builds the window and runs its set-up (call once, after arranging the models).
  void Create();
  // Lets queued events run (device replies, posted commands) until the device
  // thread has nothing left, within `ms`.
  void Settle(int ms = 1000);
  // The reports the keyboard received since the last ClearLog, as
  // "kind bytes" lines without their times.
  std::vector<std::string> Reports() const;
  // The same with their monotonic milliseconds.
  std::vector<std::pair<int64_t, std::string>> TimedReports() const;
  void ClearLog();

  template <class T>
  T* Get(const char* name) {
    return dlg_->FindChildByName2<T>(name);
  }
  // Clicks a button or a radio box as the user would.
  void Click(const char* name);

  TempDir dir_;
  std::string logPath_;
  platform::VirtualKeyboard keyboard_;
  platform::VirtualHidPlatform hid_{keyboard_};
  DeviceConfig config_;
  LightingEffectSettings effects_;
  SideLightSettings side_;
  MacroLibrary library_;
  KeyRecordList records_;
  ui::UiApp app_;
  // The assignments' ways out; none unless a test sets them before Create.
  platform::IKeyInjector* injector_ = nullptr;
  platform::IShell* shell_ = nullptr;
  std::unique_ptr<CMainDlg> dlg_;
  int ended_ = 0;
  // Message boxes: what was asked, and the answer given.
  std::vector<QString> asked_;
  int answer_ = 1;
  std::vector<std::string> log_;

 private:
  ui::ToolkitLogSink previousSink_;
  size_t logStart_ = 0;
};

}  // namespace keyloom::test
