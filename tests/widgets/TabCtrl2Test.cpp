#include <QCoreApplication>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/ToolkitFixture.h"
#include "widgets/STabCtrl2.h"
#include "widgets/STabPage2.h"
#include "widgets/SolidFrames.h"

namespace keyloom::widgets::test {
namespace {

// Every picture is solid, so one pixel tells which sub-image was drawn.
const QRgb kHeadBg = qRgb(5, 5, 5);
const std::vector<QRgb> kTab = {qRgb(10, 10, 10), qRgb(20, 20, 20), qRgb(30, 30, 30)};  // normal, hover, selected
const QRgb kSeparator = qRgb(200, 0, 0);
const std::vector<QRgb> kIcons = {qRgb(0, 0, 100), qRgb(0, 0, 110), qRgb(0, 0, 120)};
const std::vector<QRgb> kIn = {qRgb(0, 100, 0), qRgb(0, 110, 0), qRgb(0, 120, 0), qRgb(0, 130, 0)};
const std::vector<QRgb> kOut = {qRgb(100, 0, 100), qRgb(110, 0, 110), qRgb(120, 0, 120), qRgb(130, 0, 130)};

// Headers 40 x 20 with 4-pixel separator places: a row puts header i at
// x = 44 i, a column at y = 24 i. Icons 8 x 8 sit 2,2 inside a header.
constexpr int kIconOffset = 2;

class TabFixture : public ui::test::ToolkitFixture {
 protected:
  TabFixture() {
    app_.classes().Register<STabPage2>();
    app_.classes().Register<STabCtrl2>();
    AddResource("img", "headbg", "image/headbg.png", SolidFramesPng({kHeadBg}, 4, 4));
    AddResource("img", "tab", "image/tab.png", SolidFramesPng(kTab, 4, 4));
    AddResource("img", "sep", "image/sep.png", SolidFramesPng({kSeparator}, 2, 4));
    AddResource("img", "icons", "image/icons.png", SolidFramesPng(kIcons, 8, 8));
    AddResource("img", "in4", "image/in4.png", SolidFramesPng(kIn, 8, 8));
    AddResource("img", "out4", "image/out4.png", SolidFramesPng(kOut, 8, 8));
    dir_.Write("uires/values/skin.xml", R"(<skin>
      <imglist name="headbg" src="img:headbg" states="1"/>
      <imglist name="tab" src="img:tab" states="3"/>
      <imglist name="sep" src="img:sep" states="1"/>
      <imglist name="icons" src="img:icons" states="3"/>
      <imglist name="in4" src="img:in4" states="4"/>
      <imglist name="out4" src="img:out4" states="4"/>
    </skin>)");
    app_.Initialize(QString::fromStdString(dir_.File("uires")), "uidef:xml_init");
  }

  // Pages 0 and 1 animate both ways; page 2 has entering frames only.
  STabCtrl2* MakeTabs(const std::string& attributes = "", const std::string& pages = kThreePages) {
    AddLayout("tabs", R"(<layout width="240" height="120"><tabctrl2 name="tabs" pos="0,0" size="200,100"
        tabHeight="20" tabWidth="40" tabInterSize="4" tabHeadBgSkin="headbg" tabSkin="tab" tabInterSkin="sep"
        iconSkin="icons" icon-x="2" icon-y="2" )" + attributes + ">" + pages + "</tabctrl2></layout>");
    host_ = std::make_unique<ui::test::RecordingHost>(app_);
    host_->CreateFromLayout("LAYOUT:tabs");
    // Qt follows the mouse over widgets of a shown window only.
    host_->show();
    return host_->FindChildByName2<STabCtrl2>("tabs");
  }

  static constexpr const char* kThreePages =
      R"(<page2 title="A" ani_in="in4" ani_out="out4"/><page2 title="B" ani_in="in4" ani_out="out4"/>)"
      R"(<page2 title="C" ani_in="in4"/>)";

  static QRgb PixelAt(STabCtrl2* tabs, QPoint point) { return tabs->grab().toImage().pixel(point); }

  // What header `index`'s icon place shows: "inK", "outK", "iconK" or "none".
  // The selected header is drawn widened over the separator places, so its
  // icon sits one separator further left.
  static std::string IconOf(STabCtrl2* tabs, int index) {
    const QPoint widened(index == tabs->GetCurSel() ? -4 : 0, 0);
    const QPoint middle = tabs->HeaderRect(index).topLeft() + widened + QPoint(kIconOffset + 4, kIconOffset + 4);
    const QRgb pixel = PixelAt(tabs, middle);
    const std::pair<const char*, const std::vector<QRgb>*> sets[] = {{"in", &kIn}, {"out", &kOut}, {"icon", &kIcons}};
    for (const auto& [prefix, colours] : sets)
      for (size_t i = 0; i < colours->size(); ++i)
        if ((*colours)[i] == pixel) return prefix + std::to_string(i);
    return "none";
  }

  // Qt drops a move to where the mouse already is, so each move nudges it.
  void MouseOver(STabCtrl2* tabs, int header) {
    nudge_ = 1 - nudge_;
    QTest::mouseMove(tabs->tabBar(), tabs->HeaderRect(header).center() - tabs->tabBar()->pos() + QPoint(nudge_, 0));
  }
  static void MouseOut(STabCtrl2* tabs) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tabs->tabBar(), &leave);
  }

  std::unique_ptr<ui::test::RecordingHost> host_;
  int nudge_ = 0;
};

// A script is words run in order: "overN" moves the mouse onto header N,
// "out" takes it off the headers; "+N" ticks the host's timeline N times
// (10 ms each); "N=inK", "N=outK", "N=iconK" check header N's icon place;
// "busy" and "idle" check whether the control asks for ticks.
struct ScriptCase {
  const char* name;
  const char* script;
};

class TabScript : public TabFixture, public testing::WithParamInterface<ScriptCase> {};

TEST_P(TabScript, IconPlacePlaysAsScripted) {
  STabCtrl2* tabs = MakeTabs();
  ASSERT_NE(tabs, nullptr);
  int ticks = 0;
  for (const QString& word : QString(GetParam().script).split(' ', Qt::SkipEmptyParts)) {
    const std::string at = "at tick " + std::to_string(ticks) + ", word " + word.toStdString();
    if (word.startsWith("over")) {
      MouseOver(tabs, word.mid(4).toInt());
    } else if (word == "out") {
      MouseOut(tabs);
    } else if (word.startsWith('+')) {
      for (int i = word.mid(1).toInt(); i > 0; --i, ++ticks) host_->timeline().Tick();
    } else if (word.contains('=')) {
      EXPECT_EQ(IconOf(tabs, word.section('=', 0, 0).toInt()), word.section('=', 1).toStdString()) << at;
    } else if (word == "busy" || word == "idle") {
      EXPECT_EQ(tabs->IsAnimating(), word == "busy") << at;
    } else {
      FAIL() << "unknown script word " << word.toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, TabScript, testing::Values(
    // Frames 0..3 every fifth tick, then the last one stays without ticks.
    ScriptCase{"HoverPlaysTheEnteringFramesAndHoldsTheLast",
               "1=icon1 idle over1 1=in0 busy +4 1=in0 +1 1=in1 +5 1=in2 +5 1=in3 idle +20 1=in3 0=icon0"},
    // Leaving shows out0..out2; the last leaving frame gives way to the icon.
    ScriptCase{"LeavePlaysTheLeavingFramesThenTheIcon",
               "over1 +15 out 1=out0 busy +5 1=out1 +5 1=out2 +4 1=out2 +1 1=icon1 idle"},
    ScriptCase{"MovingToAnotherHeaderRunsBothAnimations",
               "over0 +15 0=in3 over1 0=out0 1=in0 +5 0=out1 1=in1 +5 0=out2 1=in2 +5 0=icon0 1=in3"},
    ScriptCase{"AHoverRestartsTheEnteringFrames", "over1 +10 1=in2 out over1 1=in0 +5 1=in1"},
    ScriptCase{"WithoutLeavingFramesTheIconReturnsAtOnce", "over2 +15 2=in3 out 2=icon2 busy +5 idle 2=icon2"}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

// Which picture shows in the separator place before header 1 and before
// header 2, with headers in a row or a column.
struct SeparatorCase {
  const char* name;
  const char* align;
  int selected;
  QRgb beforeHeader1;
  QRgb beforeHeader2;
};

class TabSeparators : public TabFixture, public testing::WithParamInterface<SeparatorCase> {};

TEST_P(TabSeparators, NoSeparatorTouchesTheSelectedHeader) {
  const SeparatorCase& c = GetParam();
  STabCtrl2* tabs = MakeTabs(std::string("tabAlign=\"") + c.align + "\" curSel=\"" + std::to_string(c.selected) + "\"");
  ASSERT_NE(tabs, nullptr);
  const bool column = std::string(c.align) == "left";
  auto placeBefore = [&](int header) {
    const QRect previous = tabs->HeaderRect(header - 1);
    return column ? QPoint(previous.center().x(), previous.bottom() + 2) : QPoint(previous.right() + 2, previous.center().y());
  };
  EXPECT_EQ(PixelAt(tabs, placeBefore(1)), c.beforeHeader1);
  EXPECT_EQ(PixelAt(tabs, placeBefore(2)), c.beforeHeader2);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(PixelAt(tabs, tabs->HeaderRect(i).bottomRight() - QPoint(2, 2)), kTab[i == c.selected ? 2 : 0]) << i;
}

INSTANTIATE_TEST_SUITE_P(Table, TabSeparators, testing::Values(
    SeparatorCase{"Row0", "top", 0, kTab[2], kSeparator},
    SeparatorCase{"Row1", "top", 1, kTab[2], kTab[2]},
    SeparatorCase{"Row2", "top", 2, kSeparator, kTab[2]},
    SeparatorCase{"Column0", "left", 0, kTab[2], kSeparator},
    SeparatorCase{"Column1", "left", 1, kTab[2], kTab[2]}),
    [](const testing::TestParamInfo<SeparatorCase>& info) { return std::string(info.param.name); });

TEST_F(TabFixture, HeaderBackgroundFillsTheRowAndTheHoveredHeaderShowsItsState) {
  STabCtrl2* tabs = MakeTabs();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(PixelAt(tabs, QPoint(180, 10)), kHeadBg);  // right of the last header
  MouseOver(tabs, 2);
  EXPECT_EQ(PixelAt(tabs, tabs->HeaderRect(2).bottomRight() - QPoint(2, 2)), kTab[1]);
  EXPECT_EQ(PixelAt(tabs, tabs->HeaderRect(1).bottomRight() - QPoint(2, 2)), kTab[0]);
}

TEST_F(TabFixture, OnlyPage2ChildrenMakePagesAndTheControlAnswersAsATabControl) {
  STabCtrl2* tabs = MakeTabs("", R"(<page2 title="A"/><page title="B"/><window name="w"/><page2 title="C"/>)");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->GetItemCount(), 2);
  EXPECT_EQ(tabs->tabBar()->count(), 2);
  EXPECT_NE(tabs->GetPage2(0), nullptr);
  EXPECT_NE(tabs->GetPage2(1), nullptr);
  EXPECT_EQ(host_->FindChildByName2<ui::STabCtrl>("tabs"), tabs);
  EXPECT_TRUE(tabs->IsClass("tabctrl"));
  EXPECT_TRUE(tabs->GetPage2(0)->IsClass("page"));
}

TEST_F(TabFixture, ClicksAndArrowKeysOnTheDrawnHeadersSwitchPages) {
  STabCtrl2* tabs = MakeTabs();
  ASSERT_NE(tabs, nullptr);
  QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->HeaderRect(2).center());
  EXPECT_EQ(tabs->GetCurSel(), 2);
  EXPECT_TRUE(tabs->GetPage(2)->isVisibleTo(tabs));
  QTest::keyClick(tabs->tabBar(), Qt::Key_Left);
  EXPECT_EQ(tabs->GetCurSel(), 1);
  const auto changes = host_->Of(ui::EventKind::TabSelChange);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[1].value, 1);
  tabs->SetCurSel(0);
  EXPECT_EQ(host_->Of(ui::EventKind::TabSelChange).size(), 2u);
}

TEST_F(TabFixture, AShownWindowWithTabsAtRestDoesNotTick) {
  STabCtrl2* tabs = MakeTabs();
  ASSERT_NE(tabs, nullptr);
  EXPECT_FALSE(host_->timeline().IsRunning());
  MouseOver(tabs, 0);
  EXPECT_TRUE(host_->timeline().IsRunning());
  for (int i = 0; i < 15; ++i) host_->timeline().Tick();
  EXPECT_FALSE(host_->timeline().IsRunning());  // holding the last entering frame
  MouseOut(tabs);
  EXPECT_TRUE(host_->timeline().IsRunning());
  for (int i = 0; i < 15; ++i) host_->timeline().Tick();
  EXPECT_FALSE(host_->timeline().IsRunning());
  MouseOver(tabs, 1);
  delete tabs;  // leaves the timeline with the widget
  EXPECT_FALSE(host_->timeline().IsRunning());
  host_->timeline().Tick();
}

}  // namespace
}  // namespace keyloom::widgets::test
