#include "app/Application.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/AppModels.h"
#include "app/NamedWidgetTable.h"
#include "app/ProgramFolder.h"
#include "app/ShownReport.h"
#include "app/SingleInstance.h"
#include "app/StartupSteps.h"
#include "config/BackgroundFileWriter.h"
#include "config/DeviceConfig.h"
#include "config/SaveFailureLog.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyNameTable.h"
#include "macros/KeyboardHook.h"
#include "platform/ExecutableFolder.h"
#include "platform/HidBackend.h"
#include "platform/KeyInjector.h"
#include "platform/KeyboardHookSource.h"
#include "platform/RuntimeFolder.h"
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
  // First of all: from here on a termination signal never kills keyloom
  // half-way. Before the main window exists it ends start-up at the next
  // step boundary; after, it closes the window like its close button does.
  platform::CatchTerminationSignals();
  const StartupSteps steps;

  // Hidden only when the whole command line after the program name is
  // exactly "-hid"; read before Qt takes its own options out of argv.
  const bool startHidden = argc == 2 && std::strcmp(argv[1], "-hid") == 0;

  if (!steps.Begin("application")) return 0;
  QApplication qapp(argc, argv);
  // The window may be hidden (tray, "-hid"); the program ends only when the
  // main window is destroyed.
  qapp.setQuitOnLastWindowClosed(false);
  // Lets the desktop match the window with the installed desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(KEYLOOM_APP_ID));
  const std::unique_ptr<ShownReport> shownReport = ShownReport::FromEnvironment();

  // Once the main window exists, a termination signal closes it like its
  // close button does; until then start-up's step boundaries end it.
  std::unique_ptr<CMainDlg> mainDlg;
  platform::SignalWatcher terminationWatcher;
  QObject::connect(&terminationWatcher, &platform::SignalWatcher::terminationRequested, &qapp, [&mainDlg] {
    if (mainDlg) mainDlg->PostClose();
  });

  // The folder of the user's files becomes the working directory once this
  // is the running instance (the program folder itself when it runs
  // portable); the resources may live apart, in the install's read-only
  // data folder, and are opened by their own path. Paths are the system's
  // bytes: a folder whose name is not valid UTF-8 reaches Qt through an alias.
  const FileLocations& locations = CurrentFileLocations();
  const QString resourceFolder =
      QFile::decodeName(QByteArray::fromStdString(platform::TextSafeFolderPath(locations.resourceFolder)));

  // The resources are only read: a second start may read them too.
  if (!steps.Begin("resources")) return 0;
  auto ui = std::make_unique<ui::UiApp>();
  ui->SetProgramFolder(resourceFolder);
  ui->names().Register(NamedWidgetTable());
  ui->Initialize(resourceFolder + QStringLiteral("/uires"), "uidef:xml_init");
  qapp.setWindowIcon(ui->Icon("ICON:ICON_LOGO"));

  // Single instance, before anything is written or grabbed: a second start
  // must leave the data files and the keyboard to the running keyloom.
  if (!steps.Begin("instance")) return 0;
  QString instanceName = ui->definition().strings().At(0);
  if (instanceName.isEmpty()) instanceName = kFallbackInstanceName;
  const platform::RuntimeFolder runtimeFolder = platform::FindRuntimeFolder(SingleInstance::kLongestEntryName);
  if (!runtimeFolder.ok()) {
    std::fprintf(stderr, "keyloom: %s\n", runtimeFolder.error.c_str());
    return 1;
  }
  SingleInstance instance(instanceName, QFile::decodeName(runtimeFolder.path.c_str()));
  switch (instance.Acquire()) {
    case SingleInstance::Outcome::Acquired:
      break;
    case SingleInstance::Outcome::AlreadyRunning: {
      const QString answer = SingleInstance::AskRunningInstanceToRaise(instance.SocketPath());
      std::printf("keyloom is already running (%s)\n", answer.isEmpty() ? "no answer" : answer.toUtf8().constData());
      return 0;
    }
    case SingleInstance::Outcome::Failed:
      std::fprintf(stderr, "keyloom: %s\n", instance.Error().toUtf8().constData());
      return 1;
  }

  if (!steps.Begin("configuration")) return 0;
  // Only the running instance creates the user's folder and its first
  // config.xml, and works from there.
  PrepareUserFolder(locations);
  if (!locations.userFolder.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(locations.userFolder, ignored);
  }
  DeviceConfig& config = DeviceConfig::Instance();
  config.Load(DataFilePath("config.xml"));
  ui->translator().LoadAndInstall(ui->resources(), config.chinese ? "lang_cn" : "lang_en");

  widgets::RegisterCustomWidgets(ui->classes());

  if (!steps.Begin("hook")) return 0;
  // The virtual keyboard's control pipe takes keys by the names the recorder
  // shows; the platform layer does not know them.
  if (platform::VirtualKeyboardSelected()) {
    if (platform::VirtualKeyboard* keyboard = platform::DefaultVirtualKeyboard()) {
      keyboard->SetKeyNames(FindKeyCodeByName);
    }
  }
  const HookInstallation hook(config.vid, config.pid);

  if (!steps.Begin("data")) return 0;
  AppModels::LoadDataFiles();

  if (!steps.Begin("window")) return 0;
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
  // A signal during the window's own set-up closes it as soon as the loop runs.
  if (!steps.Begin("running") || platform::TerminationRequested()) mainDlg->PostClose();

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
