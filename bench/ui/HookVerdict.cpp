// How long the keyboard hook takes to give its verdict on a key event while
// the user drags a lighting slider. On Linux the reading thread waits for the
// UI thread to run the hook procedure, so everything the UI thread does
// between two events delays typing: a slider step saves ledeffect.xml (twice)
// and queues a command, and the window repaints.
//
// The full main window is built offscreen with the virtual keyboard and
// models in a fresh folder; the hook is installed as the program installs it
// (KeyboardHook over a source whose procedure runs through a HookDispatcher on
// the UI thread, as EvdevHookSource does), and a second thread asks verdicts
// for key presses and releases at a typing rate. Each folder given (default:
// /dev/shm and the folder of this executable, the work disk) is measured
// idle, then with a QTimer dragging bar_const_brightness_1 back and forth.
//
//   bench_hook_verdict [--events N] [folder ...]
#include <sys/vfs.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/NamedWidgetTable.h"
#include "config/DeviceConfig.h"
#include "config/BackgroundFileWriter.h"
#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyRecordList.h"
#include "macros/KeyboardHook.h"
#include "macros/MacroLibrary.h"
#include "platform/KeyboardHookSource.h"
#include "platform/linux/EvdevHookSource.h"
#include "platform/linux/HookDispatcher.h"
#include "platform/virtual/VirtualDeviceNotifier.h"
#include "platform/virtual/VirtualHidPlatform.h"
#include "platform/virtual/VirtualKeyboard.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SSliderBar.h"
#include "ui/toolkit/ToolkitLog.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace keyloom {
namespace {

using Clock = std::chrono::steady_clock;
using platform::KBDLLHOOKSTRUCT;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// p in [0, 1]: the nearest-rank percentile of `values` (sorted here).
double Percentile(std::vector<double>& values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(values.size())));
  return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

std::string Summary(std::vector<double> values) {
  if (values.empty()) return "none";
  const double p50 = Percentile(values, 0.5);
  const double p99 = Percentile(values, 0.99);
  const double max = values.back();  // sorted by now
  char text[128];
  std::snprintf(text, sizeof text, "p50 %.3f ms  p99 %.3f ms  max %.3f ms  (n=%zu)", p50, p99, max, values.size());
  return text;
}

std::string FileSystemOf(const std::string& folder) {
  struct statfs info {};
  if (::statfs(folder.c_str(), &info) != 0) return "unknown";
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x01021994: return "tmpfs";
    case 0xEF53: return "ext4";
    case 0x9123683E: return "btrfs";
    case 0x58465342: return "xfs";
    case 0x794C7630: return "overlayfs";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "fs 0x%lx", static_cast<unsigned long>(info.f_type));
      return text;
    }
  }
}

// QApplication that times what the UI thread does between two events: each
// outermost event delivery, by kind, while recording.
class TimedApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    if (!recording || depth_ > 0 || QThread::currentThread() != thread()) return QApplication::notify(receiver, event);
    ++depth_;
    const Clock::time_point start = Clock::now();
    const bool result = QApplication::notify(receiver, event);
    busy[KindOf(event->type())].push_back(Ms(Clock::now() - start));
    --depth_;
    return result;
  }

  static const char* KindOf(QEvent::Type type) {
    switch (type) {
      case QEvent::Timer: return "timer (drag step)";
      case QEvent::MetaCall: return "queued call (hook procedure, device reply)";
      case QEvent::UpdateRequest:
      case QEvent::UpdateLater:
      case QEvent::Paint: return "painting";
      default: return "other";
    }
  }

  bool recording = false;
  std::map<std::string, std::vector<double>> busy;

 private:
  int depth_ = 0;
};

// The hook source of this benchmark: built as EvdevHookSource builds its
// procedure's way to the UI thread, with the reading thread replaced by Ask.
// It times the procedure itself, to tell waiting from working.
class DispatchedHookSource : public platform::IKeyboardHookSource {
 public:
  bool Install(int hookType, platform::HookProcedure procedure) override {
    if (dispatcher_ || !procedure || hookType != platform::WH_KEYBOARD_LL) return false;
    auto timed = [this, procedure](int code, uint32_t message, KBDLLHOOKSTRUCT* event) {
      const Clock::time_point start = Clock::now();
      const intptr_t verdict = procedure(code, message, event);
      procedureMs.push_back(Ms(Clock::now() - start));
      return verdict;
    };
    dispatcher_ = std::make_unique<platform::linux_input::HookDispatcher>(
        timed, platform::linux_input::EvdevHookSource::kVerdictTimeout);
    return true;
  }
  bool Uninstall() override {
    if (!dispatcher_) return false;
    dispatcher_.reset();
    return true;
  }
  intptr_t CallNext(int, uint32_t, KBDLLHOOKSTRUCT*) override { return 0; }

  platform::linux_input::HookDispatcher* dispatcher() { return dispatcher_.get(); }
  std::vector<double> procedureMs;  // UI thread only

 private:
  std::unique_ptr<platform::linux_input::HookDispatcher> dispatcher_;
};

// The main window with models of its own in a fresh folder under `root` and
// the virtual keyboard behind it, as the main-window tests build it.
class MainWindowRig {
 public:
  explicit MainWindowRig(const std::string& root) : dir_(MakeFolder(root)), hid_(keyboard_) {
    config_.vid = platform::VirtualKeyboard::kVendorId;
    config_.pid = platform::VirtualKeyboard::kProductId;
    config_.interface = platform::VirtualKeyboard::kCommandInterface;
    config_.subdevice = platform::VirtualKeyboard::kCommandCollection;
    effects_.Load(dir_ + "/ledeffect.xml");
    side_.Load(dir_ + "/sidemodel.xml");
    // As the program does: the lighting files are saved from their own thread.
    effects_.SetFileWriter(&lightingWriter_);
    side_.SetFileWriter(&lightingWriter_);
    library_.Load(dir_ + "/macro.xml");
    records_.Load(dir_ + "/record.xml");
    app_.names().Register(NamedWidgetTable());
    widgets::RegisterCustomWidgets(app_.classes());
    app_.SetProgramFolder(KEYLOOM_SOURCE_DIR);
    app_.Initialize(KEYLOOM_SOURCE_DIR "/uires", "uidef:xml_init");
    app_.translator().LoadAndInstall(app_.resources(), "lang_en");
  }
  ~MainWindowRig() {
    dlg_.reset();
    lightingWriter_.Flush(std::chrono::seconds(10));
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }

  bool Create() {
    CMainDlg::Services services{config_, effects_, side_, library_, records_, hid_,
                                [this](QObject* parent) {
                                  return std::make_unique<platform::VirtualDeviceNotifier>(keyboard_, parent);
                                },
                                nullptr, nullptr, [](QWidget*, const QString&, unsigned) { return 1; }};
    dlg_ = std::make_unique<CMainDlg>(app_, "bench-instance", std::move(services));
    if (!dlg_->CreateFromLayout("LAYOUT:XML_MAINWND")) return false;
    dlg_->SendInitDialog();
    dlg_->show();
    return true;
  }

  template <class T>
  T* Get(const char* name) {
    return dlg_->FindChildByName2<T>(name);
  }
  CMainDlg& dlg() { return *dlg_; }
  const std::string& folder() const { return dir_; }
  bool ok() const { return !dir_.empty(); }

 private:
  static std::string MakeFolder(const std::string& root) {
    std::string pattern = root + "/keyloom-verdict-XXXXXX";
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }

  std::string dir_;
  BackgroundFileWriter lightingWriter_{platform::MakeAtomicFileWriter()};
  platform::VirtualKeyboard keyboard_;
  platform::VirtualHidPlatform hid_;
  DeviceConfig config_;
  LightingEffectSettings effects_;
  SideLightSettings side_;
  MacroLibrary library_;
  KeyRecordList records_;
  ui::UiApp app_;
  std::unique_ptr<CMainDlg> dlg_;
};

// Runs the UI thread's event loop for `ms`.
void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

struct Run {
  std::vector<double> verdictMs;
  std::vector<double> stepMs;  // each slider step, synchronously (saves and command)
  uint64_t timedOut = 0;
  bool complete = false;
};

// Asks `events` verdicts from a second thread, one every `interval`
// (alternating press and release of A, a key without an assignment), while
// the UI thread runs its loop; with `slider`, a timer moves it one step
// every 16 ms, 0 to its maximum and back.
Run Measure(DispatchedHookSource& source, TimedApplication& app, ui::SSliderBar* slider, int events,
            std::chrono::milliseconds interval) {
  Run run;
  run.verdictMs.reserve(static_cast<size_t>(events));
  platform::linux_input::HookDispatcher* dispatcher = source.dispatcher();
  const uint64_t timedOutBefore = dispatcher->TimedOut();

  QEventLoop loop;
  QTimer drag;
  drag.setTimerType(Qt::PreciseTimer);
  int direction = 1;
  if (slider != nullptr) {
    QObject::connect(&drag, &QTimer::timeout, [&] {
      QSlider* bar = slider->slider();
      if (bar->value() >= bar->maximum()) direction = -1;
      if (bar->value() <= bar->minimum()) direction = 1;
      const Clock::time_point start = Clock::now();
      bar->setValue(bar->value() + direction);  // as a drag does: valueChanged on every step
      run.stepMs.push_back(Ms(Clock::now() - start));
    });
    drag.start(16);
  }
  // Every wait is bounded: the loop ends at twice the planned time plus 10 s
  // even if the asking thread never finishes.
  QTimer::singleShot(static_cast<int>(2 * events * interval.count() + 10000), &loop, &QEventLoop::quit);

  std::atomic<bool> finished{false};
  std::thread asker([&] {
    const Clock::time_point first = Clock::now() + std::chrono::milliseconds(50);
    for (int i = 0; i < events; ++i) {
      std::this_thread::sleep_until(first + i * interval);
      const bool release = (i % 2) == 1;
      KBDLLHOOKSTRUCT key;
      key.vkCode = 0x41;
      key.scanCode = 0x1E;
      key.flags = release ? platform::LLKHF_UP : 0;
      key.time = static_cast<uint32_t>(i * interval.count());
      const Clock::time_point start = Clock::now();
      // KEY_A on one node. Only a press waits for the UI thread (a release
      // takes its press's fate at once), so only presses are timed.
      dispatcher->Ask(platform::linux_input::HookKey{1, 30}, release ? platform::WM_KEYUP : platform::WM_KEYDOWN, key);
      if (!release) run.verdictMs.push_back(Ms(Clock::now() - start));
    }
    finished = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });

  app.recording = true;
  loop.exec();
  app.recording = false;
  drag.stop();
  // Let a late asker run out: every Ask returns at once once stopped, then
  // the dispatcher is built anew for the next run.
  if (!finished) dispatcher->Stop();
  asker.join();
  run.complete = finished && static_cast<int>(run.verdictMs.size()) == (events + 1) / 2;
  run.timedOut = dispatcher->TimedOut() - timedOutBefore;
  return run;
}

// One save of the lighting model alone, as each slider step does it twice:
// serialise, write a temporary file, fsync, rename, fsync the folder.
std::vector<double> TimeSaves(const std::string& folder, int count) {
  LightingEffectSettings effects;
  effects.Load(folder + "/save-alone.xml");
  std::vector<double> ms;
  for (int i = 0; i < count; ++i) {
    effects.GetEntry(9)->brightness = static_cast<uint8_t>(i % 6);
    const Clock::time_point start = Clock::now();
    effects.Save();
    ms.push_back(Ms(Clock::now() - start));
  }
  return ms;
}

void Report(const std::string& label, bool dragging, const Run& run) {
  std::vector<double> verdicts = run.verdictMs;
  const char* target = "";
  if (dragging) target = Percentile(verdicts, 0.99) < 5.0 ? "  target met" : "  target MISSED";
  std::printf("verdict %-24s %-5s %s, %llu timed out%s%s\n", label.c_str(), dragging ? "drag" : "idle",
              Summary(verdicts).c_str(), static_cast<unsigned long long>(run.timedOut),
              run.complete ? "" : "  INCOMPLETE", target);
}

int MeasureFolder(TimedApplication& app, const std::string& root, int events) {
  const std::chrono::milliseconds interval(8);
  DispatchedHookSource source;
  if (!KeyboardHook::Instance().Install(&source)) {
    std::fprintf(stderr, "the hook could not be installed\n");
    return 1;
  }
  int status = 0;
  {
    MainWindowRig rig(root);
    if (!rig.ok() || !rig.Create()) {
      std::fprintf(stderr, "no main window with models under %s\n", root.c_str());
      KeyboardHook::Instance().Uninstall();
      return 1;
    }
    const std::string label = root + " (" + FileSystemOf(rig.folder()) + ")";
    // Past the connection and the start-up tasks due 2000 ms after set-up.
    RunFor(2500);
    auto* box = rig.Get<ui::SComboBox>("cbx_color_effect");
    auto* slider = rig.Get<ui::SSliderBar>("bar_const_brightness_1");
    if (box == nullptr || slider == nullptr) {
      std::fprintf(stderr, "the layout lacks the effect box or bar_const_brightness_1\n");
      status = 1;
    } else {
      box->combo()->setCurrentIndex(9);  // an effect of page 1: speed and brightness
      RunFor(500);
      rig.dlg().deviceThread().WaitUntilIdle(std::chrono::milliseconds(1000));

      for (const bool dragging : {false, true}) {
        app.busy.clear();
        source.procedureMs.clear();
        const Run run = Measure(source, app, dragging ? slider : nullptr, events, interval);
        Report(label, dragging, run);
        if (!run.complete || run.timedOut != 0) status = 1;
        std::printf("  hook procedure itself        %s\n", Summary(source.procedureMs).c_str());
        if (dragging) std::printf("  slider step (setValue)       %s\n", Summary(run.stepMs).c_str());
        for (const auto& [kind, ms] : app.busy) {
          double total = 0;
          for (double v : ms) total += v;
          std::printf("  UI busy, %-42s %s, total %.0f ms\n", kind.c_str(), Summary(ms).c_str(), total);
        }
        rig.dlg().deviceThread().WaitUntilIdle(std::chrono::milliseconds(1000));
        RunFor(200);
      }
    }
    std::printf("  one ledeffect.xml save alone   %s\n", Summary(TimeSaves(rig.folder(), 200)).c_str());
  }
  KeyboardHook::Instance().Uninstall();
  return status;
}

}  // namespace
}  // namespace keyloom

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  keyloom::TimedApplication app(argc, argv);
  keyloom::ui::SetToolkitLogSink([](const std::string&) {});

  int events = 2000;
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--events" && i + 1 < argc) {
      events = std::max(2, std::atoi(argv[++i]));
    } else {
      folders.push_back(arg);
    }
  }
  if (folders.empty()) folders = {"/dev/shm", QCoreApplication::applicationDirPath().toStdString()};

  std::printf("hook verdicts, %d key events every 8 ms; drag: bar_const_brightness_1 one step every 16 ms\n", events);
  std::printf("target: p99 under 5 ms while dragging\n");
  int status = 0;
  for (const std::string& folder : folders) status |= keyloom::MeasureFolder(app, folder, events);
  return status;
}
