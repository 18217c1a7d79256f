#include "ui/mainwindow/CMainDlg.h"

#include <QMetaObject>

#include "actions/AssignmentBuilder.h"
#include "device/HidPath.h"
#include "macros/KeyboardHook.h"
#include "device/KeyboardMatch.h"
#include "platform/HidBackend.h"
#include "protocol/KeyboardReports.h"
#include "runtime/SimpleRunable.h"
#include "ui/mainwindow/FirmwareText.h"
#include "ui/mainwindow/SaveNoticeText.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SMenu.h"
#include "ui/toolkit/SMessageBox.h"
#include "ui/toolkit/SSliderBar.h"
#include "ui/toolkit/STabCtrl.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CoordButtonImage.h"
#include "widgets/SShellNotifyIcon.h"

namespace keyloom {
namespace {

// The fixed texts of the message boxes; all three have the caption "Warning".
constexpr const char* kResetQuestion = "All settings will be restored, are you sure you want to   continue?";
constexpr const char* kInsertDevice = "Please insert USB device";
constexpr const char* kLatestVersion = "The firmware is already the latest version and no upgrade is required.";

// Every key of the picture at once.
constexpr int kEveryKey = 0x7FFFFFFF;

}  // namespace

CMainDlg::Services CMainDlg::DefaultServices(ui::UiApp& app) {
  return Services{DeviceConfig::Instance(),
                  LightingEffectSettings::Instance(),
                  SideLightSettings::Instance(),
                  MacroLibrary::Instance(),
                  KeyRecordList::Instance(),
                  platform::DefaultHidPlatform(),
                  [](QObject* parent) { return platform::CreateDeviceNotifier(parent); },
                  nullptr,
                  nullptr,
                  [&app](QWidget* owner, const QString& text, unsigned type) {
                    return ui::SMessageBox(app, owner, text, QStringLiteral("Warning"), type);
                  }};
}

CMainDlg::CMainDlg(ui::UiApp& app, const QString& instanceName, Services services)
    : SHostWnd(app),
      instanceName_(instanceName),
      services_(std::move(services)),
      device_(services_.hid),
      deviceThread_(device_, pacer_,
                    [this](const DeviceReply& reply) {
                      // From the device thread to the UI thread; dropped if the window is gone.
                      QMetaObject::invokeMethod(this, [this, reply] { OnDeviceReply(reply); }, Qt::QueuedConnection);
                    }),
      assignments_({services_.records, services_.library, services_.config, [this] { return device_.IsOpen(); },
                    services_.injector, services_.shell, worker_}),
      panel_(services_.effects, services_.sideLight, *this) {
  KeyboardHook::Instance().AddListener(this);
}

CMainDlg::~CMainDlg() {
  KeyboardHook::Instance().RemoveListener(this);
  worker_.Stop();
  deviceThread_.Stop();
}

// One row per notification the window reacts to, tested in order; the first
// match handles the event. Combo box selections do not come through here:
// set-up subscribes the panel's handler to each box.
const ui::EventMap<CMainDlg>& CMainDlg::EventMap() {
  using K = ui::EventKind;
  static const ui::EventMap<CMainDlg> map{
      {K::Command, "btn_more", 0, 0, &CMainDlg::OnBtnMore},
      {K::Command, "btn_close", 0, 0, &CMainDlg::OnBtnClose},
      {K::Command, "btn_min", 0, 0, &CMainDlg::OnBtnMin},
      {K::Command, "btn_max", 0, 0, &CMainDlg::OnBtnMax},
      {K::Command, "btn_restore", 0, 0, &CMainDlg::OnBtnRestore},
      {K::Command, "zh_cn", 0, 0, &CMainDlg::OnChinese},
      {K::Command, "btn_restore_factory", 0, 0, &CMainDlg::OnFactoryReset},
      {K::Command, "jp", 0, 0, &CMainDlg::OnEnglish},
      {K::Command, nullptr, 65545, 65546, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_general_speed_0", 0, 0, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_const_brightness_0", 0, 0, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_general_speed_1", 0, 0, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_const_brightness_1", 0, 0, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_const_brightness_2", 0, 0, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_side_brightness", 0, 0, &CMainDlg::OnSideSlider},
      {K::SliderPos, "bar_general_speed_3", 0, 0, &CMainDlg::OnEffectControl},
      {K::SliderPos, "bar_const_brightness_3", 0, 0, &CMainDlg::OnEffectControl},
      {K::Command, nullptr, 65552, 65554, &CMainDlg::OnEffectControl},
  };
  return map;
}

bool CMainDlg::OnEvent(ui::EventArgs& event) { return EventMap().Dispatch(*this, event); }

int CMainDlg::OnInitDialog() {
  // 1. A second start finds this window by the instance-name property.
  setProperty(instanceName_.toUtf8().constData(), 1);
  // 2. Device-change notifications.
  if (services_.createNotifier) notifier_ = services_.createNotifier(this);
  if (notifier_) connect(notifier_.get(), &platform::DeviceNotifier::deviceChanged, this, &CMainDlg::OnDeviceChange);
  // 3.-5. The widgets.
  FindWidgets();
  // 6. The first lighting command waits 100 ms from now.
  deviceThread_.RestartPacing();
  // 7. The keyboard: its reply (firmware text, key labels) comes back as an event.
  deviceThread_.Connect(Ids());
  // 8. The panels, selecting the current effect and mode: a box whose
  // selection changes saves and sends them as a user's choice would.
  panel_.LoadEffect(true);
  panel_.LoadSide(true);
  // 9. The worker, playing key assignments between its tasks, and the two
  // tasks due 2000 ms from now.
  assignments_.AttachTo(worker_);
  worker_.Start(this);
  worker_.Post(std::make_unique<SimpleRunable<CMainDlg>>(this, &CMainDlg::PostStartupEffect, 2000));
  worker_.Post(std::make_unique<SimpleRunable<CMainDlg>>(this, &CMainDlg::TouchSideLight, 2000));
  return 0;
}

void CMainDlg::FindWidgets() {
  LightingPanel::Widgets& w = panel_.widgets();
  w.effectTabs = FindChildByName2<ui::STabCtrl>("tab_color_effect");
  keyboard_ = FindChildByName2<widgets::CoordButtonImage>("img_keyboard");
  if (keyboard_) keyboard_->SetClickListener(this);
  if (auto* level = FindChildByName2<ui::SComboBox>("cbx_in_lv")) {
    // Its first item, with notification; choosing another changes nothing.
    level->SetCurSel(0);
    level->Subscribe(ui::EventKind::ComboSelChange, [](ui::EventArgs&) { return true; });
  }
  const auto selection = [this](ui::EventArgs& event) {
    panel_.OnSelChange(event);
    return true;
  };
  w.effectBox = FindChildByName2<ui::SComboBox>("cbx_color_effect");
  w.sideBox = FindChildByName2<ui::SComboBox>("cbx_side_color_effect");
  for (ui::SComboBox* box : {w.effectBox, w.sideBox}) {
    if (box != nullptr) box->Subscribe(ui::EventKind::ComboSelChange, selection);
  }
  w.sideSlider = FindChildByName2<ui::SSliderBar>("bar_side_brightness");
  w.sideCaption = FindChildByName2<ui::SWindow>("text_side_brightness");

  const int speedIds[4] = {65543, 65547, 0, 65550};
  const int brightnessIds[4] = {65544, 65548, 65549, 65551};
  for (int page = 0; page < 4; ++page) {
    w.speed[page] = speedIds[page] != 0 ? FindChildByID2<ui::SSliderBar>(speedIds[page]) : nullptr;
    w.brightness[page] = FindChildByID2<ui::SSliderBar>(brightnessIds[page]);
  }
  // The third option radio (65554) is routed to the panel but is not one of
  // the option list.
  w.direction.clear();
  w.option.clear();
  for (int id : {65545, 65546}) w.direction.push_back(FindChildByID2<ui::SRadioBox>(id));
  for (int id : {65552, 65553}) w.option.push_back(FindChildByID2<ui::SRadioBox>(id));
  for (auto* list : {&w.direction, &w.option}) {
    for (ui::SRadioBox* radio : *list) {
      if (radio != nullptr) radio->SetCheck(false);
    }
  }
}

KeyboardIds CMainDlg::Ids() const {
  const DeviceConfig& c = services_.config;
  return KeyboardIds{c.vid, c.pid, c.interface, c.subdevice};
}

void CMainDlg::OnDeviceReply(const DeviceReply& reply) {
  if (IsDestroyed()) return;
  if (!reply.opened) {
    // The text keeps what it showed; there is no version to show.
    firmwareVersion_ = -1;
    RefreshFirmwareText();
    return;
  }
  if (reply.versionRead) firmwareVersion_ = reply.firmwareVersion;
  RefreshFirmwareText();
  switch (reply.kind) {
    case DeviceReply::Kind::Connected:
      RefreshKeyLabels();
      break;
    case DeviceReply::Kind::Arrived:
      // Boxes that already show the current effect and mode send nothing.
      panel_.LoadEffect(true);
      panel_.LoadSide(true);
      RefreshKeyLabels();
      factoryResetPending_ = false;
      break;
    case DeviceReply::Kind::Reopened:
      break;
  }
}

void CMainDlg::OnDeviceChange(platform::DeviceChange event, const QString& path) {
  if (event != platform::DeviceChange::Arrival && event != platform::DeviceChange::RemoveComplete) return;
  HidPathIds ids;
  const std::wstring devicePath = path.toStdWString();
  if (!ParseHidPath(devicePath, ids) || !NotifiedPathIsKeyboard(ids, services_.config)) return;
  if (event == platform::DeviceChange::Arrival) {
    deviceThread_.OpenArrived(devicePath);
    return;
  }
  deviceThread_.Close();
  firmwareVersion_ = -1;
  RefreshFirmwareText();
  // Unplugging the keyboard ends the program, unless it is restarting after
  // a factory reset.
  if (!factoryResetPending_) DestroyWindow();
}

void CMainDlg::RefreshKeyLabels() {
  if (!keyboard_) return;
  for (const KeyRecord& record : services_.records.records) {
    keyboard_->SetButtonChecked(record.code, 1);
    keyboard_->SetButtonTip(record.code, KeyLabel(record));
  }
  keyboard_->update();
}

void CMainDlg::RefreshFirmwareText() {
  if (firmwareVersion_ == -1) return;
  if (auto* version = FindChildByName2<ui::SWindow>("version")) version->SetWindowText(FirmwareText(firmwareVersion_, app().translator()));
}

void CMainDlg::SwitchLanguage(int chinese) {
  if (!app().translator().LoadAndInstall(app().resources(), chinese == 1 ? "lang_cn" : "lang_en")) return;
  // Every widget shows its texts anew; the firmware line is put together
  // from translated pieces, so it is put together again.
  RefreshFirmwareText();
  RefreshKeyLabels();
  RefreshSaveNotice();
}

void CMainDlg::ShowSaveFailure(const SaveFailure& failure) {
  for (const SaveFailure& known : saveFailures_) {
    if (known.path == failure.path) return;
  }
  saveFailures_.push_back(failure);
  RefreshSaveNotice();
}

void CMainDlg::RefreshSaveNotice() {
  if (saveFailures_.empty()) return;
  if (auto* notice = FindChildByName2<ui::SWindow>("save_notice")) notice->SetWindowText(SaveNoticeText(saveFailures_, app().translator()));
}

void CMainDlg::OnBtnMin(ui::EventArgs&) {
  // Hidden, the window leaves the screen and the taskbar and the tray icon
  // brings it back; without a tray it is minimised so it stays reachable.
  if (widgets::SShellNotifyIcon::TrayAvailable())
    hide();
  else
    showMinimized();
}

void CMainDlg::OnBtnMore(ui::EventArgs&) {
  auto* button = FindChildByID2<ui::SImageButton>(65537);
  if (button == nullptr) return;
  ui::SMenu menu(app());
  if (!menu.LoadMenu(QStringLiteral("smenuex:menu_more"))) return;
  // Opens under the button, its top-left corner at the button's bottom-left.
  menu.TrackPopupMenu(button->mapToGlobal(QPoint(0, button->height())), this);
}

void CMainDlg::OnMenuCommand(int command) {
  if (command == kCommandFirmwareCheck) FirmwareCheck();
  if (command == kCommandExit) PostClose();
}

void CMainDlg::FirmwareCheck() {
  if (!device_.IsOpen()) {
    services_.messageBox(nullptr, QString::fromLatin1(kInsertDevice), ui::mb::kOk | ui::mb::kIconWarning);
    return;
  }
  if (firmwareVersion_ == kLatestFirmware) {
    services_.messageBox(nullptr, QString::fromLatin1(kLatestVersion), ui::mb::kOk | ui::mb::kIconInformation);
    return;
  }
  // Its reply refreshes the firmware text.
  deviceThread_.Reopen(Ids());
}

void CMainDlg::OnFactoryReset(ui::EventArgs&) {
  if (services_.messageBox(this, QString::fromLatin1(kResetQuestion), ui::mb::kOkCancel | ui::mb::kIconWarning) !=
      ui::mb::kIdOk)
    return;
  // The keyboard restarts after the reset: its unplugging must not end the program.
  factoryResetPending_ = true;
  MacroLibrary& library = services_.library;
  library.type = 0;
  library.repeat = 1;
  library.delay = 10;
  library.mode = 0;
  library.media = 0;
  library.function = 0;
  library.skcode = 0;
  library.group = 0;
  library.recording = 0;
  services_.records.records.clear();
  services_.records.Save();
  services_.effects.ResetDefaults();
  services_.sideLight.ResetDefaults();
  panel_.LoadSide(true);
  panel_.LoadEffect(true);
  if (keyboard_) {
    keyboard_->SetButtonChecked(kEveryKey, 0);
    keyboard_->update();
  }
  services_.records.records.clear();
  services_.records.Save();
  deviceThread_.Write(RestoreFactoryReport());
}

void CMainDlg::SendLightingEffect(int32_t index) {
  // The report is made here, from the model the UI thread owns, and sent
  // from the device thread.
  const EffectEntry* entry = services_.effects.GetEntry(index);
  if (entry != nullptr) deviceThread_.SendLightingEffect(LightingEffectReport(index, *entry));
}

void CMainDlg::SendSideLightMode(int32_t index) {
  const SideModeEntry* entry = services_.sideLight.GetEntry(index);
  if (entry != nullptr) deviceThread_.SendSideLight(SideLightReport(index, *entry));
}

int CMainDlg::PostStartupEffect(int32_t, int32_t, const uint8_t*, uint32_t) {
  // On the worker thread: the models belong to the UI thread, so the report
  // is made there and sent, without pacing, from the device thread.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (const EffectEntry* entry = services_.effects.GetEntry(0))
          deviceThread_.SendUnpaced(StartupEffectReport(0, *entry));
      },
      Qt::QueuedConnection);
  return 0;
}

int CMainDlg::TouchSideLight(int32_t, int32_t, const uint8_t*, uint32_t) {
  // Only makes sure the side light settings exist; it sends nothing.
  return 0;
}

int CMainDlg::OnCoordButtonClick(int id, std::wstring name, int direction, uint32_t, QPoint) {
  // A release over the key, while the keyboard is connected, and not while
  // an editor already runs.
  if (direction == 0 || !device_.IsOpen() || editor_ != nullptr) return 0;
  selectedKeys_[static_cast<uint8_t>(id & 0xFF)] = name;
  MacroRecordDlg editor(app(), this, services_.library, services_.config, keyboard_, selectedKeys_);
  int result = ui::SHostDialog::kCancel;
  if (editor.CreateFromLayout(QStringLiteral("LAYOUT:macro"))) {
    editor_ = &editor;
    // While it records or shows the single-key page, key events go to it.
    assignments_.SetEditor(&editor);
    result = editor.DoModal();
    assignments_.SetEditor(nullptr);
    editor_ = nullptr;
  }
  selectedKeys_.clear();
  // The keyboard may have been unplugged while the editor ran: this window
  // has ended then, and nothing more is done.
  if (!IsDestroyed()) ApplyEditorResult(result, id, name);
  return 0;
}

void CMainDlg::ApplyEditorResult(int result, int32_t id, const std::wstring& name) {
  if (result == ui::SHostDialog::kOk) {
    // The mark comes first and stays even when no record can be made.
    if (id != 0 && keyboard_) keyboard_->SetButtonChecked(id, 1);
    if (id != 0) {
      const std::optional<KeyRecord> record =
          BuildAssignment(id, name, services_.library, services_.config,
                          [this](int32_t key, std::wstring* keyName) { return PictureKeyName(key, keyName); });
      if (record) {
        if (keyboard_) keyboard_->SetButtonTip(id, KeyLabel(*record));
        services_.records.AddOrReplace(*record);
        services_.records.Save();
      }
    }
    services_.library.Save();
  } else if (result == MacroRecordDlg::kDelete) {
    services_.records.Remove(id);
    std::wstring keyName;
    if (keyboard_ && PictureKeyName(id, &keyName)) {
      keyboard_->SetButtonTip(id, app().translator().Translate(QString::fromStdWString(keyName)).toStdWString());
      keyboard_->SetButtonChecked(id, 0);
    }
    services_.records.Save();
  }
  if (keyboard_) keyboard_->update();
}

bool CMainDlg::PictureKeyName(int32_t id, std::wstring* name) const {
  return keyboard_ && keyboard_->ButtonName(id, name);
}

std::wstring CMainDlg::KeyLabel(const KeyRecord& record) const {
  std::wstring label = record.name;
  if (!record.group.empty()) {
    label += L" : ";
    label += app().translator().Translate(QString::fromStdWString(record.group)).toStdWString();
  }
  return label;
}

int CMainDlg::OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) {
  return assignments_.OnHookEvent(code, message, event);
}

void CMainDlg::OnDestroy() {
  // An editor still open ends with the window (its modal run returns).
  if (editor_ != nullptr) editor_->EndDialog(ui::SHostDialog::kCancel);
  // The worker's stop callback releases the keys playback held down.
  worker_.Stop();
  // What the user changed last still reaches the keyboard, if it can soon.
  deviceThread_.WaitUntilIdle(std::chrono::milliseconds(500));
  setProperty(instanceName_.toUtf8().constData(), QVariant());
}

}  // namespace keyloom
