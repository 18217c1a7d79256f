#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppModels.h"
#include "app/NamedWidgetTable.h"
#include "app/ProgramFolder.h"
#include "app/SingleInstance.h"
#include "config/DeviceConfig.h"
#include "macros/KeyboardHook.h"
#include "platform/KeyboardHookSource.h"
#include "platform/SignalWatcher.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom {
namespace {

// Used only when the resource folder names no instance.
constexpr const char* kFallbackInstanceName = "keyloom-instance";

// The custom widget classes, registered before any layout loads, in this
// order: shellnotifyicon, cbimg, page2, tabctrl2, anmimg, editex, radioex,
// checkex. Each joins the list when its class exists.
void RegisterCustomWidgets(ui::ClassRegistry&) {}

}  // namespace

int RunKeyloom(int argc, char** argv) {
  // Hidden only when the whole command line after the program name is
  // exactly "-hid"; read before Qt takes its own options out of argv.
  const bool startHidden = argc == 2 && std::strcmp(argv[1], "-hid") == 0;

  QApplication qapp(argc, argv);
  // The window may be hidden (tray, "-hid"); the program ends only when the
  // main window is destroyed.
  qapp.setQuitOnLastWindowClosed(false);

  // The program folder is the working directory: the resource folder is
  // opened relative to it.
  QDir::setCurrent(QString::fromStdString(ProgramFolder()));

  auto ui = std::make_unique<ui::UiApp>();
  ui->names().Register(NamedWidgetTable());
  ui->Initialize("uires", "uidef:xml_init");
  qapp.setWindowIcon(ui->Icon("ICON:ICON_LOGO"));

  DeviceConfig& config = DeviceConfig::Instance();
  config.Load(DataFilePath("config.xml"));
  ui->translator().LoadAndInstall(ui->resources(), config.chinese ? "lang_cn" : "lang_en");

  RegisterCustomWidgets(ui->classes());

  // The global keyboard hook follows the configured keyboard. When the
  // system offers no hook (no access to the keyboard, say), the slot stays
  // empty and everything else goes on without hook listeners.
  std::unique_ptr<platform::IKeyboardHookSource> hookSource;
  if (!KeyboardHook::Instance().IsInstalled()) {
    hookSource = platform::CreateKeyboardHookSource(config.vid, config.pid);
    if (hookSource && !KeyboardHook::Instance().Install(hookSource.get())) hookSource.reset();
  }

  AppModels::LoadDataFiles();

  QString instanceName = ui->definition().strings().At(0);
  if (instanceName.isEmpty()) instanceName = kFallbackInstanceName;
  SingleInstance instance(instanceName);
  if (!instance.Acquire()) {
    const QString answer = SingleInstance::AskRunningInstanceToRaise(instanceName);
    std::printf("keyloom is already running (%s)\n", answer.isEmpty() ? "no answer" : answer.toUtf8().constData());
    return 0;
  }

  auto mainDlg = std::make_unique<CMainDlg>(*ui, instanceName);
  mainDlg->CreateFromLayout("LAYOUT:XML_MAINWND");
  // Queued: a window destroyed during its own set-up still ends the loop.
  QObject::connect(mainDlg.get(), &ui::SHostWnd::windowDestroyed, &qapp, [&qapp] { qapp.exit(0); },
                   Qt::QueuedConnection);
  mainDlg->SendInitDialog();
  mainDlg->CenterWindow();
  if (!startHidden) mainDlg->show();

  // Logout and Ctrl+C close the window like its close button does.
  platform::SignalWatcher terminationWatcher;
  QObject::connect(&terminationWatcher, &platform::SignalWatcher::terminationRequested, mainDlg.get(),
                   [&mainDlg] { mainDlg->PostClose(); });

  const int exitCode = qapp.exec();

  mainDlg.reset();
  // The hook lasts as long as the process; it is let go here only because
  // its source is about to go with the Qt application it delivers through.
  if (hookSource) KeyboardHook::Instance().Uninstall();
  hookSource.reset();
  ui.reset();
  return exitCode;
}

}  // namespace keyloom
