#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCaption.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SText.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

class Layout : public ToolkitFixture {
 protected:
  Layout() : host_(app_) { created_ = host_.CreateFromLayout("LAYOUT:XML_TEST"); }
  SHostWnd host_;
  bool created_ = false;
};

TEST_F(Layout, BuildsTheTreeWithClassesNamesIdsAndTexts) {
  ASSERT_TRUE(created_);
  EXPECT_EQ(host_.size(), QSize(400, 300));
  auto* caption = host_.FindChildByName2<SCaption>("caption");
  ASSERT_NE(caption, nullptr);
  auto* title = host_.FindChildByName2<SText>("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->parentWidget(), caption);
  EXPECT_EQ(title->GetID(), 65536);                // from the named-widget table
  EXPECT_EQ(title->GetWindowText(), "Hello");      // @string/title resolved
  auto* ok = host_.FindChildByName2<SButton>("ok");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->GetID(), 7);                       // explicit ID, attribute name in capitals
  EXPECT_EQ(ok->GetWindowText(), "OK");            // element text
  EXPECT_TRUE(log_.empty()) << log_.front();
}

TEST_F(Layout, PositionsCountFromTheFarEdgeWhenNegativeAndSizesStretch) {
  auto* close = host_.FindChildByName2<SImageButton>("btn_close");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->geometry(), QRect(370, 0, 30, 30));
  auto* body = host_.FindChildByName2<SWindow>("body");
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->geometry(), QRect(10, 50, 380, 240));
  host_.show();  // a hidden window learns of its new size only when shown
  host_.resize(500, 400);
  EXPECT_EQ(close->geometry(), QRect(470, 0, 30, 30));
  EXPECT_EQ(body->geometry(), QRect(10, 50, 480, 340));
}

struct ClassCase {
  const char* className;
  bool found;
};
std::ostream& operator<<(std::ostream& os, const ClassCase& c) { return os << c.className; }

class ClassTest : public Layout, public testing::WithParamInterface<ClassCase> {};

TEST_P(ClassTest, LookupAnswersForTheClassAndItsBases) {
  SWindow* w = host_.root()->FindChildByName("btn_close", GetParam().className);
  EXPECT_EQ(w != nullptr, GetParam().found);
  SWindow* byId = host_.root()->FindChildByID(65539, GetParam().className);
  EXPECT_EQ(byId, w);
}

INSTANTIATE_TEST_SUITE_P(Table, ClassTest, testing::Values(
    ClassCase{"imgbtn", true}, ClassCase{"button", true}, ClassCase{"window", true},
    ClassCase{"IMGBTN", true}, ClassCase{"text", false}, ClassCase{"caption", false}));

TEST_F(Layout, MissOrWrongClassLogsTheDiagnosticAndGivesNull) {
  EXPECT_EQ(host_.FindChildByName2<SButton>("title"), nullptr);
  EXPECT_EQ(host_.FindChildByName2<SText>("cbx_in_lv"), nullptr);
  EXPECT_EQ(host_.FindChildByID2<SText>(65539), nullptr);
  ASSERT_EQ(log_.size(), 3u);
  EXPECT_EQ(log_[0], "FindChildByName2 Failed, no window of class [button] with name of [title] was found within [-1] levels");
  EXPECT_EQ(log_[1], "FindChildByName2 Failed, no window of class [text] with name of [cbx_in_lv] was found within [-1] levels");
  EXPECT_EQ(log_[2], "FindChildByID2 Failed, no window of class [text] with id of [65539] was found within [-1] levels");
}

TEST_F(Layout, LevelsLimitHowDeepTheLookupGoes) {
  EXPECT_NE(host_.root()->FindChildByName("caption", "window", 1), nullptr);
  EXPECT_EQ(host_.root()->FindChildByName("title", "window", 1), nullptr);
  EXPECT_NE(host_.root()->FindChildByName("title", "window", 2), nullptr);
}

TEST_F(Layout, UnknownClassIsLoggedAndSkippedTheRestStillLoads) {
  AddLayout("xml_odd", R"(<layout><gadget name="g"><text name="inner"/></gadget><text name="after"/></layout>)");
  SHostWnd host(app_);
  ASSERT_TRUE(host.CreateFromLayout("layout:xml_odd"));
  EXPECT_NE(host.FindChildByName2<SText>("after"), nullptr);
  EXPECT_EQ(host.root()->FindChildByName("inner"), nullptr);
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "unknown widget class [gadget] in layout; skipped");
}

TEST_F(Layout, MissingOrMalformedLayoutFailsWithoutCrashing) {
  SHostWnd missing(app_);
  EXPECT_FALSE(missing.CreateFromLayout("LAYOUT:NOPE"));
  AddLayout("xml_broken", "<layout><text name=\"a\"></layout>");
  SHostWnd broken(app_);
  EXPECT_FALSE(broken.CreateFromLayout("LAYOUT:XML_BROKEN"));
  EXPECT_EQ(broken.FindChildByName2<SText>("a"), nullptr);
}

}  // namespace
}  // namespace keyloom::ui::test
