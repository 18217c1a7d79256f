#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/AppModels.h"
#include "app/NamedWidgetTable.h"
#include "app/ProgramFolder.h"
#include "app/ShownReport.h"
#include "app/SingleInstance.h"
#include "config/BackgroundFileWriter.h"
#include "config/DeviceConfig.h"
#include "config/SaveFailureLog.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyNameTable.h"
#include "macros/KeyboardHook.h"
#include "platform/HidBackend.h"
#include "platform/KeyInjector.h"
#include "platform/KeyboardHookSource.h"
#include "platform/Shell.h"
#include "platform/SignalWatcher.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace keyloom {
namespace {

// Used only when the resource folder names no instance.
constexpr const char* kFallbackInstanceName = "keyloom-instance";

// The global keyboard hook, following the configured keyboard. The hook
// lasts as long as the program; its source is let go only at the very end,
// before the Qt application it delivers through.
class HookInstallation {
 public:
  HookInstallation(int32_t vid, int32_t pid) {
    if (KeyboardHook::Instance().IsInstalled()) return;
    source_ = platform::CreateKeyboardHookSource(vid, pid);
    // When the system offers no hook (no access to the keyboard, say), the
    // slot stays empty and everything else goes on without hook listeners.
    if (source_ && !KeyboardHook::Instance().Install(source_.get())) source_.reset();
  }
  ~HookInstallation() {
    if (source_) KeyboardHook::Instance().Uninstall();
  }
  HookInstallation(const HookInstallation&) = delete;
  HookInstallation& operator=(const HookInstallation&) = delete;

  // The installed source, or null.
  platform::IKeyboardHookSource* Source() const { return source_.get(); }

 private:
  std::unique_ptr<platform::IKeyboardHookSource> source_;
};

}  // namespace

int RunKeyloom(int argc, char** argv) {
  // Hidden only when the whole command line after the program name is
  // exactly "-hid"; read before Qt takes its own options out of argv.
  const bool startHidden = argc == 2 && std::strcmp(argv[1], "-hid") == 0;

  QApplication qapp(argc, argv);
  // The window may be hidden (tray, "-hid"); the program ends only when the
  // main window is destroyed.
  qapp.setQuitOnLastWindowClosed(false);
  const std::unique_ptr<ShownReport> shownReport = ShownReport::FromEnvironment();

  // Logout and Ctrl+C close the window like its close button does. Watched
  // from here on, so a signal during start-up is not fatal either: it waits
  // in the watcher until the event loop runs, and then closes the window.
  std::unique_ptr<CMainDlg> mainDlg;
  platform::SignalWatcher terminationWatcher;
  QObject::connect(&terminationWatcher, &platform::SignalWatcher::terminationRequested, &qapp, [&mainDlg] {
    if (mainDlg) mainDlg->PostClose();
  });

  // The program folder is the working directory: the resource folder and
  // the keyboard picture's files are opened relative to it, by the system's
  // bytes (a QString cannot carry a folder name that is not valid UTF-8).
  std::error_code folderError;
  std::filesystem::current_path(ProgramFolder(), folderError);

  auto ui = std::make_unique<ui::UiApp>();
  ui->SetProgramFolder(QStringLiteral("."));
  ui->names().Register(NamedWidgetTable());
  ui->Initialize("uires", "uidef:xml_init");
  qapp.setWindowIcon(ui->Icon("ICON:ICON_LOGO"));

  DeviceConfig& config = DeviceConfig::Instance();
  config.Load(DataFilePath("config.xml"));
  ui->translator().LoadAndInstall(ui->resources(), config.chinese ? "lang_cn" : "lang_en");

  widgets::RegisterCustomWidgets(ui->classes());

  // The virtual keyboard's control pipe takes keys by the names the recorder
  // shows; the platform layer does not know them.
  if (platform::VirtualKeyboardSelected()) {
    if (platform::VirtualKeyboard* keyboard = platform::DefaultVirtualKeyboard()) {
      keyboard->SetKeyNames(FindKeyCodeByName);
    }
  }
  const HookInstallation hook(config.vid, config.pid);

  AppModels::LoadDataFiles();

  QString instanceName = ui->definition().strings().At(0);
  if (instanceName.isEmpty()) instanceName = kFallbackInstanceName;
  SingleInstance instance(instanceName);
  if (!instance.Acquire()) {
    const QString answer = SingleInstance::AskRunningInstanceToRaise(instanceName);
    std::printf("keyloom is already running (%s)\n", answer.isEmpty() ? "no answer" : answer.toUtf8().constData());
    return 0;
  }

  // The key assignments' ways out: injected keys, started programs, the
  // session lock. Without them (no access to /dev/uinput, say) assigned
  // keys are still swallowed but do nothing. Injected keys join the key
  // state of the keyboard the hook holds; the hook outlives the injector.
  const std::unique_ptr<platform::IKeyInjector> injector =
      platform::CreateKeyInjector(hook.Source());
  const std::unique_ptr<platform::IShell> shell = platform::CreateShell();
  CMainDlg::Services services = CMainDlg::DefaultServices(*ui);
  services.injector = injector.get();
  services.shell = shell.get();
  // The lighting files are saved from a thread of their own: a slider being
  // dragged saves on every step, and the UI thread (which also answers the
  // keyboard hook) must not wait on the disk. Flushed when it goes.
  BackgroundFileWriter lightingWriter(platform::MakeAtomicFileWriter());
  LightingEffectSettings::Instance().SetFileWriter(&lightingWriter);
  SideLightSettings::Instance().SetFileWriter(&lightingWriter);
  mainDlg = std::make_unique<CMainDlg>(*ui, instanceName, std::move(services));
  mainDlg->CreateFromLayout("LAYOUT:XML_MAINWND");
  // Failed saves show in the window, those of start-up included. The lighting
  // files fail on their writer's thread: the notice is posted, never waited for.
  SaveFailures().SetListener([window = mainDlg.get()](const SaveFailure& failure) {
    QMetaObject::invokeMethod(window, [window, failure] { window->ShowSaveFailure(failure); }, Qt::QueuedConnection);
  });
  // Queued: a window destroyed during its own set-up still ends the loop.
  QObject::connect(mainDlg.get(), &ui::SHostWnd::windowDestroyed, &qapp, [&qapp] { qapp.exit(0); },
                   Qt::QueuedConnection);
  mainDlg->SendInitDialog();
  mainDlg->CenterWindow();
  if (!startHidden) mainDlg->show();

  const int exitCode = qapp.exec();

  // Shutdown: the window, then the toolkit; the instance lock and the hook
  // go with the rest of this scope.
  SaveFailures().SetListener(nullptr);
  mainDlg.reset();
  LightingEffectSettings::Instance().SetFileWriter(nullptr);
  SideLightSettings::Instance().SetFileWriter(nullptr);
  ui.reset();
  return exitCode;
}

}  // namespace keyloom
