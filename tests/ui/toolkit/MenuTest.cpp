#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SMenu.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

class CommandHost : public SHostWnd {
 public:
  using SHostWnd::SHostWnd;
  void OnMenuCommand(int command) override { commands.push_back(command); }
  std::vector<int> commands;
};

struct KindCase {
  const char* root;
  SMenu::Kind kind;
};

class MenuKind : public testing::TestWithParam<KindCase> {};

TEST_P(MenuKind, TheRootElementDecidesTheKindExactly) {
  EXPECT_EQ(SMenu::KindOfRoot(GetParam().root), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Table, MenuKind, testing::Values(
    KindCase{"menu", SMenu::Kind::Classic}, KindCase{"menuRoot", SMenu::Kind::Extended},
    KindCase{"menuItem", SMenu::Kind::Extended}, KindCase{"Menu", SMenu::Kind::None},
    KindCase{"menuroot", SMenu::Kind::None}, KindCase{"", SMenu::Kind::None}));

using Menu = ToolkitFixture;

TEST_F(Menu, ClassicMenuItemsSeparatorsAndSubmenusDeliverTheirIdToTheOwner) {
  AddResource("smenu", "more", "menu/more.xml",
              R"(<menu><item id="1">Minimize</item><sep/><menu text="More"><item id="9" text="Deep"/></menu><item id="6" text="Exit"/></menu>)");
  app_.translator().LoadAndInstall(app_.resources(), "lang_cn");
  CommandHost host(app_);
  SMenu menu(app_);
  ASSERT_TRUE(menu.LoadMenu("SMENU:more"));
  EXPECT_EQ(menu.kind(), SMenu::Kind::Classic);
  QMenu* built = menu.Build(&host);
  const QList<QAction*> actions = built->actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[0]->text(), QString::fromUtf8("最小化"));  // translated
  EXPECT_TRUE(actions[1]->isSeparator());
  ASSERT_NE(actions[2]->menu(), nullptr);
  actions[2]->menu()->actions().at(0)->trigger();
  actions[3]->trigger();
  EXPECT_TRUE(host.commands.empty());  // posted, as a menu message would be
  QCoreApplication::processEvents();
  EXPECT_EQ(host.commands, (std::vector<int>{9, 6}));
  delete built;
}

TEST_F(Menu, ExtendedMenuAndUnusableResources) {
  AddResource("smenuex", "tray", "menu/tray.xml", R"(<menuRoot><menuItem id="6" text="Exit"/></menuRoot>)");
  AddResource("smenu", "bad", "menu/bad.xml", R"(<Menu><item id="1"/></Menu>)");
  SMenu menu(app_);
  EXPECT_FALSE(menu.LoadMenu("SMENU:bad"));
  EXPECT_FALSE(menu.LoadMenu("SMENU:missing"));
  EXPECT_EQ(menu.kind(), SMenu::Kind::None);
  ASSERT_TRUE(menu.LoadMenu("SMENUEX:tray"));
  EXPECT_EQ(menu.kind(), SMenu::Kind::Extended);
  EXPECT_FALSE(menu.LoadMenu("SMENU:bad"));  // a failed load keeps the menu it had
  EXPECT_EQ(menu.kind(), SMenu::Kind::Extended);
  CommandHost host(app_);
  QMenu* built = menu.Build(&host);
  ASSERT_EQ(built->actions().size(), 1);
  EXPECT_EQ(built->actions()[0]->text(), "Exit");
  delete built;
}

}  // namespace
}  // namespace keyloom::ui::test
