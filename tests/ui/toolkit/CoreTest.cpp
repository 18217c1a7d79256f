// The toolkit core: widgets that read their own XML, containers that place
// their children, lookup through wrapped Qt widgets, the checked typed
// lookup, and notifications with payloads on their way to the host.
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/toolkit/EventMap.h"
#include "ui/toolkit/LayoutLoader.h"
#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SText.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

// Reads <items><item text=".."/></items> itself instead of making widgets of them.
class ItemsBox : public SWindow {
  KEYLOOM_WIDGET_CLASS(SWindow, "itemsbox")
 public:
  ItemsBox(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
  void CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) override {
    for (pugi::xml_node item : element.child("items").children("item")) items.push_back(item.attribute("text").value());
    // Other children are still widgets.
    for (pugi::xml_node child : element.children()) {
      if (child.type() == pugi::node_element && std::string_view(child.name()) != "items") loader.CreateChild(child, this);
    }
  }
  std::vector<std::string> items;
};

// Stacks its children top to bottom, 20 pixels each, whatever their pos says.
class StackBox : public SWindow {
  KEYLOOM_WIDGET_CLASS(SWindow, "stackbox")
 public:
  StackBox(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
  void LayoutChildren() override {
    int y = 0;
    for (QObject* child : children()) {
      if (auto* w = qobject_cast<SWindow*>(child)) {
        w->setGeometry(0, y, width(), 20);
        y += 20;
      }
    }
  }
};

// Answers the class test for "button" without being a button.
class Impostor : public SWindow {
 public:
  static constexpr const char* kClassName = "impostor";
  Impostor(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
  const char* GetClassName() const override { return kClassName; }
  bool IsClass(std::string_view name) const override {
    return ClassNameEquals(name, "button") || ClassNameEquals(name, kClassName) || SWindow::IsClass(name);
  }
};

// Takes the Command notifications of its descendants named "inner".
class Catcher : public SWindow {
  KEYLOOM_WIDGET_CLASS(SWindow, "catcher")
 public:
  Catcher(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
  bool OnChildEvent(EventArgs& e) override {
    seen.push_back(e.senderName);
    return e.senderName == QLatin1String("inner");
  }
  QStringList seen;
};

class Core : public ToolkitFixture {
 protected:
  Core() {
    app_.classes().Register<ItemsBox>();
    app_.classes().Register<StackBox>();
    app_.classes().Register<Impostor>();
    app_.classes().Register<Catcher>();
    AddLayout("core", R"(<layout width="300" height="200">
  <itemsbox name="box" pos="0,0" size="100,20"><items><item text="a"/><item text="b"/></items><text name="label"/></itemsbox>
  <stackbox name="stack" pos="0,40" size="100,100"><text name="s1" pos="50,50" size="5,5"/><text name="s2" pos="60,60" size="5,5"/></stackbox>
  <impostor name="fake" pos="0,0" size="1,1"/>
  <catcher name="outer" pos="0,0" size="100,100"><button name="inner"/><button name="passing"/></catcher>
</layout>)");
    created_ = host_.CreateFromLayout("LAYOUT:core");
  }
  RecordingHost host_{app_};
  bool created_ = false;
};

TEST_F(Core, AWidgetCanReadItsOwnChildElements) {
  ASSERT_TRUE(created_);
  auto* box = host_.FindChildByName2<ItemsBox>("box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->items, (std::vector<std::string>{"a", "b"}));
  EXPECT_NE(box->FindChildByName2<SText>("label"), nullptr);
  EXPECT_TRUE(log_.empty()) << log_.front();  // no "unknown widget class [items]"
}

TEST_F(Core, AContainerPlacesItsChildrenAlsoAfterAResize) {
  auto* stack = host_.FindChildByName2<StackBox>("stack");
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->FindChildByName2<SText>("s2")->geometry(), QRect(0, 20, 100, 20));
  host_.show();
  host_.resize(400, 300);
  stack->resize(150, 100);
  EXPECT_EQ(stack->FindChildByName2<SText>("s1")->geometry(), QRect(0, 0, 150, 20));
  EXPECT_EQ(stack->FindChildByName2<SText>("s2")->geometry(), QRect(0, 20, 150, 20));
}

TEST_F(Core, LookupFindsWidgetsInsideWrappedQtWidgetsAndScrollAreas) {
  auto* box = host_.FindChildByName2<ItemsBox>("box");
  auto* scroll = new QScrollArea(box);
  auto* content = new QWidget;
  new QVBoxLayout(content);
  auto* deep = new SText(app_, content);
  deep->SetAttribute("name", "deep");
  scroll->setWidget(content);
  // root -> box (level 1) -> [scroll area, viewport, content] -> deep (level 2)
  EXPECT_EQ(host_.FindChildByName2<SText>("deep"), deep);
  EXPECT_EQ(host_.root()->FindChildByName("deep", "text", 2), deep);
  EXPECT_EQ(host_.root()->FindChildByName("deep", "text", 1), nullptr);
}

TEST_F(Core, TypedLookupOfAWidgetThatOnlyClaimsTheClassGivesNull) {
  // The string class test passes, the C++ type does not: no bad cast.
  EXPECT_NE(host_.root()->FindChildByName("fake", "button"), nullptr);
  EXPECT_EQ(host_.FindChildByName2<SButton>("fake"), nullptr);
  ASSERT_FALSE(log_.empty());
  EXPECT_NE(log_.back().find("[fake]"), std::string::npos);
}

TEST_F(Core, NotificationsCarryTheirPayloadPastEnclosingWidgetsToTheHost) {
  auto* passing = host_.FindChildByName2<SButton>("passing");
  EventArgs e;
  e.kind = EventKind::ListItemClick;
  e.sender = passing;
  e.senderName = "passing";
  e.index = 3;
  e.column = 2;
  e.text = "x";
  e.point = QPoint(4, 5);
  e.flags = 1;
  passing->FireEvent(e);
  ASSERT_EQ(host_.events.size(), 1u);
  const EventArgs& got = host_.events[0];
  EXPECT_EQ(got.index, 3);
  EXPECT_EQ(got.column, 2);
  EXPECT_EQ(got.text, "x");
  EXPECT_EQ(got.point, QPoint(4, 5));
  EXPECT_EQ(got.flags, 1u);
  EXPECT_EQ(host_.FindChildByName2<Catcher>("outer")->seen, QStringList{"passing"});
}

TEST_F(Core, AnEnclosingWidgetCanTakeANotificationBeforeTheHost) {
  host_.FindChildByName2<SButton>("inner")->Click();
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(host_.FindChildByName2<Catcher>("outer")->seen, QStringList{"inner"});
}

TEST_F(Core, AnUnsubscribedHandlerIsNoLongerCalled) {
  auto* inner = host_.FindChildByName2<SButton>("passing");
  int first = 0, second = 0;
  const int token = inner->Subscribe(EventKind::Command, [&](EventArgs&) { ++first; return false; });
  inner->Subscribe(EventKind::Command, [&](EventArgs&) { ++second; return false; });
  inner->Click();
  inner->Unsubscribe(token);
  inner->Click();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
}

TEST_F(Core, AHandlerMayUnsubscribeItselfWhileItRuns) {
  auto* inner = host_.FindChildByName2<SButton>("passing");
  int calls = 0;
  int token = 0;
  token = inner->Subscribe(EventKind::Command, [&](EventArgs&) {
    ++calls;
    inner->Unsubscribe(token);
    return true;
  });
  inner->Click();
  inner->Click();
  EXPECT_EQ(calls, 1);
}

// An event map: the first matching row wins, by name or by identifier range.
struct MapHost {
  void A(EventArgs&) { hits.push_back("a"); }
  void B(EventArgs&) { hits.push_back("b"); }
  void C(EventArgs&) { hits.push_back("c"); }
  std::vector<std::string> hits;
};

struct RouteCase {
  EventKind kind;
  const char* name;
  int id;
  const char* expected;  // null: no row matches
};

class EventMapRouting : public testing::TestWithParam<RouteCase> {};

TEST_P(EventMapRouting, FirstMatchingRowWins) {
  static const EventMap<MapHost> map{
      {EventKind::Command, "x", 0, 0, &MapHost::A},
      {EventKind::Command, nullptr, 10, 12, &MapHost::B},
      {EventKind::SliderPos, "x", 0, 0, &MapHost::C},
      {EventKind::Command, nullptr, 11, 20, &MapHost::C},
  };
  MapHost host;
  EventArgs e;
  e.kind = GetParam().kind;
  e.senderName = GetParam().name;
  e.senderId = GetParam().id;
  EXPECT_EQ(map.Dispatch(host, e), GetParam().expected != nullptr);
  if (GetParam().expected != nullptr) {
    EXPECT_EQ(host.hits, std::vector<std::string>{GetParam().expected});
  }
}

INSTANTIATE_TEST_SUITE_P(Table, EventMapRouting, testing::Values(
    RouteCase{EventKind::Command, "x", 11, "a"},          // the name row comes first
    RouteCase{EventKind::Command, "y", 10, "b"},
    RouteCase{EventKind::Command, "y", 12, "b"},          // inside both ranges: the earlier row
    RouteCase{EventKind::Command, "y", 13, "c"},
    RouteCase{EventKind::SliderPos, "x", 0, "c"},         // the kind is part of the match
    RouteCase{EventKind::SliderPos, "y", 11, nullptr},
    RouteCase{EventKind::Command, "y", 21, nullptr}));

}  // namespace
}  // namespace keyloom::ui::test
