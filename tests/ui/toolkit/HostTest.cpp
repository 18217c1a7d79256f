#include <QCoreApplication>
#include <QTimer>

#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SHostDialog.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

class LoggingHost : public SHostWnd {
 public:
  using SHostWnd::SHostWnd;
  bool OnEvent(EventArgs& e) override {
    events.push_back(e.senderName + "/" + QString::number(e.senderId));
    return true;
  }
  void OnClose() override { ++closes; }
  void OnDestroy() override { ++destroys; }
  void OnMenuCommand(int command) override { commands.push_back(command); }
  QStringList events;
  int closes = 0;
  int destroys = 0;
  std::vector<int> commands;
};

using Host = ToolkitFixture;

TEST_F(Host, ButtonClickReachesTheHostWithSenderNameAndId) {
  LoggingHost host(app_);
  host.CreateFromLayout("LAYOUT:XML_TEST");
  host.FindChildByName2<SButton>("ok")->Click();
  host.FindChildByName2<SButton>("btn_close")->Click();
  EXPECT_EQ(host.events, (QStringList{"ok/7", "btn_close/65539"}));
}

TEST_F(Host, SubscribedHandlerSeesTheEventFirstAndCanTakeIt) {
  LoggingHost host(app_);
  host.CreateFromLayout("LAYOUT:XML_TEST");
  auto* ok = host.FindChildByName2<SButton>("ok");
  int seen = 0;
  ok->Subscribe(EventKind::Command, [&](EventArgs&) { return ++seen == 1; });
  ok->Click();  // taken by the handler
  ok->Click();  // handler declines: goes on to the host
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(host.events, QStringList{"ok/7"});
}

TEST_F(Host, CloseRequestAndMenuCommandArriveQueued) {
  LoggingHost host(app_);
  host.PostClose();
  host.PostMenuCommand(6);
  EXPECT_EQ(host.closes, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(host.commands, std::vector<int>{6});
}

TEST_F(Host, DestroyRunsOnDestroyOnceAndSignalsTheEnd) {
  LoggingHost host(app_);
  int ended = 0;
  QObject::connect(&host, &SHostWnd::windowDestroyed, [&] { ++ended; });
  host.show();
  host.DestroyWindow();
  host.DestroyWindow();
  EXPECT_EQ(host.destroys, 1);
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(host.isVisible());
}

TEST_F(Host, ModalDialogReturnsTheCodeItEndedWith) {
  SHostDialog dialog(app_);
  dialog.CreateFromLayout("LAYOUT:XML_TEST");
  QTimer::singleShot(0, [&] { dialog.EndDialog(42); });
  EXPECT_EQ(dialog.DoModal(), 42);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Host, ClosingADialogFromTheWindowSystemCancelsIt) {
  SHostDialog dialog(app_);
  QTimer::singleShot(0, [&] { dialog.close(); });
  EXPECT_EQ(dialog.DoModal(), SHostDialog::kCancel);
}

}  // namespace
}  // namespace keyloom::ui::test
