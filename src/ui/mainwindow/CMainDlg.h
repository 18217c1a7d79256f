#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/KeyAssignments.h"
#include "config/DeviceConfig.h"
#include "config/SaveFailureLog.h"
#include "device/HidDevice.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/IKeyboardHookListener.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"
#include "platform/DeviceNotifier.h"
#include "platform/HidPlatform.h"
#include "platform/KeyInjector.h"
#include "platform/Shell.h"
#include "protocol/CommandPacer.h"
#include "protocol/DeviceCommandThread.h"
#include "runtime/SimpleThread.h"
#include "ui/mainwindow/ILightingSender.h"
#include "ui/macroeditor/MacroRecordDlg.h"
#include "ui/mainwindow/LightingPanel.h"
#include "ui/toolkit/EventMap.h"
#include "ui/toolkit/SHostWnd.h"
#include "widgets/ICoordButtonClickListener.h"

namespace keyloom {

namespace widgets {
class CoordButtonImage;
}
namespace ui {
class SComboBox;
}

// The main window. Built from the layout "LAYOUT:XML_MAINWND"; finds its
// widgets by name, routes their notifications through one event map, keeps
// the keyboard connected (its commands go out from a device thread, so this
// window never waits on the keyboard), carries the lighting panel and the
// keyboard picture, and runs the key assignments through the global hook.
// The program ends when it goes.
class CMainDlg : public ui::SHostWnd,
                 public widgets::ICoordButtonClickListener,
                 public IKeyboardHookListener,
                 private ILightingSender {
  Q_OBJECT
 public:
  // Menu commands of the "more" menu and the tray menu.
  static constexpr int kCommandFirmwareCheck = 1;
  static constexpr int kCommandExit = 6;
  // The firmware version that counts as the latest (1.0).
  static constexpr int32_t kLatestFirmware = 0x0100;

  // What the window works with. The defaults are the process-wide models and
  // the platform's own backends; tests pass their own.
  struct Services {
    DeviceConfig& config;
    LightingEffectSettings& effects;
    SideLightSettings& sideLight;
    MacroLibrary& library;
    KeyRecordList& records;
    platform::HidPlatform& hid;
    // Makes the device-change notifier (on the UI thread, at set-up).
    std::function<std::unique_ptr<platform::DeviceNotifier>(QObject* parent)> createNotifier;
    platform::IKeyInjector* injector = nullptr;  // null: assignments send no keys
    platform::IShell* shell = nullptr;           // null: nothing is started or locked
    // Shows a message box and returns the answer; the toolkit's by default.
    std::function<int(QWidget* owner, const QString& text, unsigned type)> messageBox;
  };
  static Services DefaultServices(ui::UiApp& app);

  CMainDlg(ui::UiApp& app, const QString& instanceName, Services services);
  ~CMainDlg() override;

  bool OnEvent(ui::EventArgs& event) override;
  // The window's notification routing: one ordered table, first match wins.
  static const ui::EventMap<CMainDlg>& EventMap();

  // The keyboard picture's listener: key assignment from the picture.
  int OnCoordButtonClick(int id, std::wstring name, int direction, uint32_t flags, QPoint point) override;
  // The global hook's listener: the key assignments at work.
  int OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) override;

  // Marks and labels every key with an assignment on the keyboard picture.
  void RefreshKeyLabels();
  // A record's label on the picture: its key's name, and " : " with the
  // translated target when it has one.
  std::wstring KeyLabel(const KeyRecord& record) const;
  // The macro editor while it runs for a clicked key; null otherwise.
  MacroRecordDlg* openEditor() const { return editor_; }
  // Shows the firmware version, when one is known.
  void RefreshFirmwareText();
  // Adds a data file that could not be saved to the window's notice line.
  // Call on the UI thread (SaveFailures() reports from any thread: post).
  void ShowSaveFailure(const SaveFailure& failure);
  const std::vector<SaveFailure>& saveFailures() const { return saveFailures_; }
  // 1: Chinese; anything else: English. Not saved.
  void SwitchLanguage(int chinese);
  // A device came or went (the platform's device-change notification).
  void OnDeviceChange(platform::DeviceChange event, const QString& path);

  int32_t firmwareVersion() const { return firmwareVersion_; }
  bool factoryResetPending() const { return factoryResetPending_; }
  HidDevice& device() { return device_; }
  DeviceCommandThread& deviceThread() { return deviceThread_; }
  LightingPanel& lightingPanel() { return panel_; }
  SimpleThread& worker() { return worker_; }
  KeyAssignments& assignments() { return assignments_; }

 protected:
  int OnInitDialog() override;
  void OnClose() override { DestroyWindow(); }
  void OnDestroy() override;
  void OnMenuCommand(int command) override;

 private:
  // ILightingSender: the lighting panel's commands go to the device thread.
  void SendLightingEffect(int32_t index) override;
  void SendSideLightMode(int32_t index) override;

  void OnBtnMore(ui::EventArgs&);
  void OnBtnClose(ui::EventArgs&) { DestroyWindow(); }
  void OnBtnMin(ui::EventArgs&);
  void OnBtnMax(ui::EventArgs&) { showMaximized(); }
  void OnBtnRestore(ui::EventArgs&) { showNormal(); }
  void OnChinese(ui::EventArgs&) { SwitchLanguage(1); }
  void OnEnglish(ui::EventArgs&) { SwitchLanguage(0); }
  void OnFactoryReset(ui::EventArgs&);
  void OnEffectControl(ui::EventArgs&) { panel_.OnEffectControlChanged(); }
  void OnSideSlider(ui::EventArgs&) { panel_.OnSideSliderMoved(); }

  void FindWidgets();
  // What the editor's result makes of the clicked key's assignment.
  void ApplyEditorResult(int result, int32_t id, const std::wstring& name);
  bool PictureKeyName(int32_t id, std::wstring* name) const;
  void OnDeviceReply(const DeviceReply& reply);
  void FirmwareCheck();
  void RefreshSaveNotice();
  KeyboardIds Ids() const;
  // Worker-thread runnables, due 2000 ms after set-up.
  int PostStartupEffect(int32_t, int32_t, const uint8_t*, uint32_t);
  int TouchSideLight(int32_t, int32_t, const uint8_t*, uint32_t);

  QString instanceName_;
  Services services_;
  HidDevice device_;
  CommandPacer pacer_;
  DeviceCommandThread deviceThread_;
  SimpleThread worker_;
  KeyAssignments assignments_;
  LightingPanel panel_;
  std::unique_ptr<platform::DeviceNotifier> notifier_;
  QPointer<widgets::CoordButtonImage> keyboard_;
  MacroRecordDlg* editor_ = nullptr;
  // The keys the editor assigns: one-byte key code → name.
  MacroRecordDlg::SelectedKeys selectedKeys_;
  int32_t firmwareVersion_ = -1;
  bool factoryResetPending_ = false;
  std::vector<SaveFailure> saveFailures_;
};

}  // namespace keyloom
