#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/AppModels.h"
#include "app/NamedWidgetTable.h"
#include "app/ProgramFolder.h"
#include "app/SingleInstance.h"
#include "config/DeviceConfig.h"
#include "macros/KeyboardHook.h"
#include "platform/KeyInjector.h"
#include "platform/KeyboardHookSource.h"
#include "platform/Shell.h"
#include "platform/SignalWatcher.h"
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

 private:
  std::unique_ptr<platform::IKeyboardHookSource> source_;
};

// KEYLOOM_REPORT_SHOWN=<file>: when the first window is first exposed and
// its first frame drawn, write "shown <ms since process start> monotonic
// <CLOCK_MONOTONIC ms>" to the file, for the start-up benchmark. The
// process start comes from /proc/self/stat (kernel ticks, 10 ms steps), so a
// driver that wants finer figures subtracts its own spawn time from the
// monotonic one. Unset, nothing is installed.
class ShownReport : public QObject {
 public:
  explicit ShownReport(const char* path) : path_(path) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched->isWindowType() && static_cast<QWindow*>(watched)->isExposed()) {
      qApp->removeEventFilter(this);
      // Written once the expose, its paint and flush are done.
      QTimer::singleShot(0, this, [this] { Write(); });
    }
    return false;
  }

 private:
  void Write() const {
    timespec now{}, boot{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    clock_gettime(CLOCK_BOOTTIME, &boot);
    double sinceStart = -1;
    if (std::FILE* stat = std::fopen("/proc/self/stat", "r")) {
      unsigned long long ticks = 0;
      // Field 22 (starttime) follows the command name, which ends at the last ')'.
      char line[1024] = {};
      const size_t n = std::fread(line, 1, sizeof line - 1, stat);
      std::fclose(stat);
      line[n] = 0;
      const char* p = std::strrchr(line, ')');
      for (int field = 2; p && field < 22; ++field) p = std::strchr(p + 1, ' ');
      if (p && std::sscanf(p, " %llu", &ticks) == 1) {
        sinceStart = (boot.tv_sec + boot.tv_nsec / 1e9 - double(ticks) / sysconf(_SC_CLK_TCK)) * 1000.0;
      }
    }
    if (std::FILE* out = std::fopen(path_.c_str(), "w")) {
      std::fprintf(out, "shown %.1f monotonic %.3f\n", sinceStart, now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
      std::fclose(out);
    }
  }

  std::string path_;
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
  std::unique_ptr<ShownReport> shownReport;
  if (const char* path = std::getenv("KEYLOOM_REPORT_SHOWN"); path && *path) shownReport = std::make_unique<ShownReport>(path);

  // Logout and Ctrl+C close the window like its close button does. Watched
  // from here on, so a signal during start-up is not fatal either: it waits
  // in the watcher until the event loop runs, and then closes the window.
  std::unique_ptr<CMainDlg> mainDlg;
  platform::SignalWatcher terminationWatcher;
  QObject::connect(&terminationWatcher, &platform::SignalWatcher::terminationRequested, &qapp, [&mainDlg] {
    if (mainDlg) mainDlg->PostClose();
  });

  // The program folder is the working directory: the resource folder is
  // opened relative to it.
  QDir::setCurrent(QString::fromStdString(ProgramFolder()));

  auto ui = std::make_unique<ui::UiApp>();
  ui->SetProgramFolder(QString::fromStdString(ProgramFolder()));
  ui->names().Register(NamedWidgetTable());
  ui->Initialize("uires", "uidef:xml_init");
  qapp.setWindowIcon(ui->Icon("ICON:ICON_LOGO"));

  DeviceConfig& config = DeviceConfig::Instance();
  config.Load(DataFilePath("config.xml"));
  ui->translator().LoadAndInstall(ui->resources(), config.chinese ? "lang_cn" : "lang_en");

  widgets::RegisterCustomWidgets(ui->classes());

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
  // keys are still swallowed but do nothing.
  const std::unique_ptr<platform::IKeyInjector> injector = platform::CreateKeyInjector();
  const std::unique_ptr<platform::IShell> shell = platform::CreateShell();
  CMainDlg::Services services = CMainDlg::DefaultServices(*ui);
  services.injector = injector.get();
  services.shell = shell.get();
  mainDlg = std::make_unique<CMainDlg>(*ui, instanceName, std::move(services));
  mainDlg->CreateFromLayout("LAYOUT:XML_MAINWND");
  // Queued: a window destroyed during its own set-up still ends the loop.
  QObject::connect(mainDlg.get(), &ui::SHostWnd::windowDestroyed, &qapp, [&qapp] { qapp.exit(0); },
                   Qt::QueuedConnection);
  mainDlg->SendInitDialog();
  mainDlg->CenterWindow();
  if (!startHidden) mainDlg->show();

  const int exitCode = qapp.exec();

  // Shutdown: the window, then the toolkit; the instance lock and the hook
  // go with the rest of this scope.
  mainDlg.reset();
  ui.reset();
  return exitCode;
}

}  // namespace keyloom
