#include "ui/mainwindow/MainWindowFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <fstream>
#include <sstream>

#include "app/NamedWidgetTable.h"
#include "platform/virtual/VirtualDeviceNotifier.h"
#include "support/WidgetClicks.h"
#include "ui/toolkit/SButton.h"
#include <QAbstractButton>

#include "ui/toolkit/SCheckBox.h"
#include "widgets/CustomWidgets.h"

namespace keyloom::test {

MainWindowFixture::MainWindowFixture()
    : logPath_(dir_.File("keyboard.log")), keyboard_(logPath_) {
  previousSink_ = ui::SetToolkitLogSink([this](const std::string& line) { log_.push_back(line); });
  config_.vid = platform::VirtualKeyboard::kVendorId;
  config_.pid = platform::VirtualKeyboard::kProductId;
  config_.interface = platform::VirtualKeyboard::kCommandInterface;
  config_.subdevice = platform::VirtualKeyboard::kCommandCollection;
  effects_.Load(dir_.File("ledeffect.xml"));
  side_.Load(dir_.File("sidemodel.xml"));
  library_.Load(dir_.File("macro.xml"));
  records_.Load(dir_.File("record.xml"));
  app_.names().Register(NamedWidgetTable());
  widgets::RegisterCustomWidgets(app_.classes());
  app_.SetProgramFolder(KEYLOOM_SOURCE_DIR);
  app_.Initialize(KEYLOOM_SOURCE_DIR "/uires", "uidef:xml_init");
  app_.translator().LoadAndInstall(app_.resources(), "lang_en");
  ClearLog();
}

MainWindowFixture::~MainWindowFixture() {
  dlg_.reset();
  ui::SetToolkitLogSink(previousSink_);
}

void MainWindowFixture::Create() {
  CMainDlg::Services services{config_, effects_, side_, library_, records_, hid_,
                              [this](QObject* parent) {
                                return std::make_unique<platform::VirtualDeviceNotifier>(keyboard_, parent);
                              },
                              injector_, shell_,
                              [this](QWidget*, const QString& text, unsigned) {
                                asked_.push_back(text);
                                return answer_;
                              }};
  dlg_ = std::make_unique<CMainDlg>(app_, kInstance, std::move(services));
  QObject::connect(dlg_.get(), &ui::SHostWnd::windowDestroyed, [this] { ++ended_; });
  ASSERT_TRUE(dlg_->CreateFromLayout("LAYOUT:XML_MAINWND"));
  dlg_->SendInitDialog();
  dlg_->show();
}

void MainWindowFixture::Settle(int ms) {
  QElapsedTimer clock;
  clock.start();
  // Replies come back as queued events and may queue more commands: done
  // when the device thread stays idle across a round of events.
  int quietRounds = 0;
  while (clock.elapsed() < ms && quietRounds < 2) {
    QTest::qWait(5);
    const bool idle = dlg_ == nullptr || dlg_->deviceThread().WaitUntilIdle(std::chrono::milliseconds(ms));
    quietRounds = idle ? quietRounds + 1 : 0;
  }
}

std::vector<std::pair<int64_t, std::string>> MainWindowFixture::TimedReports() const {
  std::vector<std::pair<int64_t, std::string>> lines;
  std::ifstream in(logPath_);
  std::string line;
  size_t index = 0;
  while (std::getline(in, line)) {
    if (index++ < logStart_) continue;
    std::istringstream fields(line);
    int64_t ms = 0;
    fields >> ms;
    std::string rest;
    std::getline(fields, rest);
    lines.emplace_back(ms, rest.substr(1));
  }
  return lines;
}

std::vector<std::string> MainWindowFixture::Reports() const {
  std::vector<std::string> out;
  for (const auto& [ms, text] : TimedReports()) out.push_back(text);
  return out;
}

void MainWindowFixture::ClearLog() {
  std::ifstream in(logPath_);
  std::string line;
  size_t count = 0;
  while (std::getline(in, line)) ++count;
  logStart_ = count;
}

void MainWindowFixture::Click(const char* name) {
  if (!ClickByName(dlg_.get(), name)) ADD_FAILURE() << "no widget " << name;
}

}  // namespace keyloom::test
