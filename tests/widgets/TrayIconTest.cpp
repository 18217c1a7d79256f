#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/ToolkitFixture.h"
#include "widgets/SShellNotifyIcon.h"
#include "widgets/SolidFrames.h"

namespace keyloom::widgets::test {
namespace {

using ui::SMenu;

constexpr QRgb kLogo = qRgb(0, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

class CommandHost : public ui::SHostWnd {
 public:
  using SHostWnd::SHostWnd;
  void OnMenuCommand(int command) override { commands.push_back(command); }
  std::vector<int> commands;
};

class TrayFixture : public ui::test::ToolkitFixture {
 protected:
  TrayFixture() {
    previousProbe_ = SShellNotifyIcon::SetTrayProbe([] { return true; });
    app_.classes().Register<SShellNotifyIcon>();
    AddResource("icon", "icon_logo", "icon/logo.png", SolidFramesPng({kLogo}, 16, 16));
    AddResource("icon", "red", "icon/red.png", SolidFramesPng({kRed}, 16, 16));
    AddResource("icon", "green", "icon/green.png", SolidFramesPng({kGreen}, 16, 16));
    AddResource("icon", "blue", "icon/blue.png", SolidFramesPng({kBlue}, 16, 16));
    AddResource("smenu", "classic", "menu/classic.xml",
                R"(<menu><item id="5">Show</item><item id="6">Exit</item></menu>)");
    AddResource("smenuex", "ext", "menu/ext.xml", R"(<menuRoot><menuItem id="6" text="Exit"/></menuRoot>)");
    AddResource("smenuex", "item", "menu/item.xml", R"(<menuItem><menuItem id="7" text="Exit"/></menuItem>)");
    AddResource("smenu", "capital", "menu/capital.xml", R"(<Menu><item id="5">Show</item></Menu>)");
  }
  ~TrayFixture() override {
    host_.reset();
    SShellNotifyIcon::SetTrayProbe(previousProbe_);
  }

  // A host window whose layout holds one tray icon with `attributes`.
  SShellNotifyIcon* MakeTray(const std::string& attributes) {
    AddLayout("tray", R"(<layout width="200" height="100"><shellnotifyicon name="tray" )" + attributes + "/></layout>");
    host_ = std::make_unique<CommandHost>(app_);
    host_->CreateFromLayout("LAYOUT:tray");
    return host_->FindChildByName2<SShellNotifyIcon>("tray");
  }

  static QRgb IconColour(const SShellNotifyIcon* tray) {
    return tray->trayIcon()->icon().pixmap(16, 16).toImage().pixel(8, 8);
  }

  static QMenu* OpenMenu() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* menu = qobject_cast<QMenu*>(w); menu != nullptr && menu->isVisible()) return menu;
    }
    return nullptr;
  }

  std::unique_ptr<CommandHost> host_;
  SShellNotifyIcon::TrayProbe previousProbe_ = nullptr;
};

struct ShownCase {
  std::string attributes;
  int iconIndex;  // -1: the program's icon
  QRgb colour;
  QString tip;
};

class TrayShows : public TrayFixture, public testing::WithParamInterface<ShownCase> {};

TEST_P(TrayShows, IconAndTipFollowTheAttributes) {
  const ShownCase& c = GetParam();
  SShellNotifyIcon* tray = MakeTray(c.attributes);
  ASSERT_NE(tray, nullptr);
  ASSERT_NE(tray->trayIcon(), nullptr);
  EXPECT_EQ(tray->shownIconIndex(), c.iconIndex);
  EXPECT_EQ(IconColour(tray), c.colour);
  EXPECT_EQ(tray->trayIcon()->toolTip(), c.tip);
  EXPECT_FALSE(tray->isVisible());
  host_->show();
  EXPECT_FALSE(tray->isVisible());  // never shown with its window
}

const QString kLongTip(130, 'a');

INSTANTIATE_TEST_SUITE_P(Table, TrayShows, testing::Values(
    ShownCase{"", -1, kLogo, ""},
    ShownCase{R"(ico="ICON:red;ICON:green;ICON:blue")", 0, kRed, ""},
    ShownCase{R"(ico="ICON:red;ICON:green;ICON:blue" deficoidx="5")", 0, kRed, ""},
    ShownCase{R"(ico="ICON:red;ICON:green;ICON:blue" deficoidx="0x2")", 2, kBlue, ""},
    ShownCase{R"(ico="ICON:red;ICON:green;ICON:blue" deficoidx="-1")", 0, kRed, ""},
    ShownCase{R"(ico="ICON:red;ICON:nothing;ICON:blue" deficoidx="1")", 1, kBlue, ""},
    ShownCase{R"(ico="ICON:nothing; ;ICON:also_nothing")", -1, kLogo, ""},
    ShownCase{R"(tip="@string/title")", -1, kLogo, "Hello"},
    ShownCase{R"(tip="Settings )" + kLongTip.toStdString() + "\"", -1, kLogo,
              ("Settings " + kLongTip).left(SShellNotifyIcon::kMaxTipLength)}));

TEST_F(TrayFixture, TheTipFollowsTheLanguage) {
  SShellNotifyIcon* tray = MakeTray(R"(tip="Settings")");
  EXPECT_EQ(tray->trayIcon()->toolTip(), "Settings");
  ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), "lang_cn"));
  EXPECT_EQ(tray->trayIcon()->toolTip(), QString::fromUtf8("设置"));
}

struct MenuCase {
  const char* first;
  const char* second;  // a later `menu` attribute, or null
  SMenu::Kind kind;
};

class TrayMenu : public TrayFixture, public testing::WithParamInterface<MenuCase> {};

TEST_P(TrayMenu, TheRootElementDecidesTheMenuAndARightClickOpensIt) {
  const MenuCase& c = GetParam();
  SShellNotifyIcon* tray = MakeTray(std::string("menu=\"") + c.first + "\"");
  if (c.second != nullptr) tray->SetAttribute("menu", c.second);
  EXPECT_EQ(tray->menuKind(), c.kind);
  emit tray->trayIcon()->activated(QSystemTrayIcon::Context);
  QMenu* menu = OpenMenu();
  EXPECT_EQ(menu != nullptr, c.kind != SMenu::Kind::None);
  if (menu != nullptr) menu->close();
}

INSTANTIATE_TEST_SUITE_P(Table, TrayMenu, testing::Values(
    MenuCase{"SMENU:classic", nullptr, SMenu::Kind::Classic},
    MenuCase{"SMENUEX:ext", nullptr, SMenu::Kind::Extended},
    MenuCase{"SMENUEX:item", nullptr, SMenu::Kind::Extended},
    MenuCase{"SMENU:capital", nullptr, SMenu::Kind::None},
    MenuCase{"SMENU:nothing", nullptr, SMenu::Kind::None},
    MenuCase{"SMENUEX:ext", "SMENU:nothing", SMenu::Kind::Extended},  // unloadable: kept
    MenuCase{"SMENUEX:ext", "SMENU:capital", SMenu::Kind::None}));

TEST_F(TrayFixture, ChoosingATrayMenuItemSendsItsCommandToTheHost) {
  SShellNotifyIcon* tray = MakeTray(R"(menu="SMENU:classic")");
  emit tray->trayIcon()->activated(QSystemTrayIcon::Context);
  QMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 2);
  menu->actions()[1]->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(host_->commands, std::vector<int>{6});
}

TEST_F(TrayFixture, ALeftClickHidesTheShownWindowAndShowsTheHiddenOne) {
  SShellNotifyIcon* tray = MakeTray("");
  host_->show();
  struct Step {
    QSystemTrayIcon::ActivationReason reason;
    bool visibleAfter;
  };
  const Step steps[] = {{QSystemTrayIcon::Trigger, false},
                        {QSystemTrayIcon::DoubleClick, false},
                        {QSystemTrayIcon::MiddleClick, false},
                        {QSystemTrayIcon::Trigger, true},
                        {QSystemTrayIcon::Unknown, true},
                        {QSystemTrayIcon::Trigger, false},
                        {QSystemTrayIcon::Trigger, true}};
  for (const Step& step : steps) {
    emit tray->trayIcon()->activated(step.reason);
    EXPECT_EQ(host_->isVisible(), step.visibleAfter) << "after reason " << step.reason;
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), host_.get());
}

TEST_F(TrayFixture, TheIconGoesWithTheWidget) {
  SShellNotifyIcon* tray = MakeTray("");
  const QPointer<QSystemTrayIcon> icon = tray->trayIcon();
  delete tray;
  EXPECT_TRUE(icon.isNull());
}

struct DesktopCase {
  bool trayAvailable;
  int noTrayLines;
};

class TrayDesktop : public TrayFixture, public testing::WithParamInterface<DesktopCase> {};

TEST_P(TrayDesktop, ADesktopWithoutATraySaysSoOnceOnStandardError) {
  SShellNotifyIcon::SetTrayProbe(GetParam().trayAvailable ? +[] { return true; } : +[] { return false; });
  EXPECT_EQ(SShellNotifyIcon::TrayAvailable(), GetParam().trayAvailable);
  testing::internal::CaptureStderr();
  MakeTray("");
  const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
  EXPECT_EQ(err.count("keyloom: this desktop has no system tray; start keyloom again to show its window\n"),
            GetParam().noTrayLines)
      << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, TrayDesktop, testing::Values(DesktopCase{true, 0}, DesktopCase{false, 1}));

}  // namespace
}  // namespace keyloom::widgets::test
