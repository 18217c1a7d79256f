#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "ui/toolkit/LayoutLoader.h"
#include "widgets/KeyboardPictureFixture.h"

namespace keyloom::widgets::test {
namespace {

std::string Positions(const std::string& children) { return "<positions>" + children + "</positions>"; }

// --- Reading one entry of the coordinate file --------------------------------

struct EntryRow {
  const char* attributes;
  int32_t id, va;
  const wchar_t* name;
  int32_t left, top, right, bottom;
  uint32_t colour;
};

class CoordinateEntry : public KeyboardPictureFixture, public testing::WithParamInterface<EntryRow> {};

TEST_P(CoordinateEntry, ReadsAsTheFileFormatSays) {
  const EntryRow& row = GetParam();
  WriteKeys("keys.xml", Positions(std::string("<key ") + row.attributes + "/>"));
  auto widget = Make({{"crdxml", "keys.xml"}});
  ASSERT_EQ(widget->buttons().size(), 1u);
  const CoordButton& b = widget->buttons()[0];
  EXPECT_EQ(b.id, row.id);
  EXPECT_EQ(b.va, row.va);
  EXPECT_EQ(b.name, row.name);
  EXPECT_EQ((std::vector<int32_t>{b.left, b.top, b.right, b.bottom}),
            (std::vector<int32_t>{row.left, row.top, row.right, row.bottom}));
  EXPECT_EQ(b.colour, row.colour);
  EXPECT_EQ(b.checked | b.hover | b.pressed, 0);
  EXPECT_TRUE(b.tip.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CoordinateEntry,
    testing::Values(
        EntryRow{R"(id="5" va="7" name="Esc" rect="10,20,30,40" color="FF0000")", 5, 7, L"Esc", 10, 20, 40, 60, 0xFF0000},
        EntryRow{R"(rect="10, 20, 30, 40")", -1, -1, L"", 10, 20, 40, 60, 0xFFFFFF},
        EntryRow{R"(RECT=" 10 ,20 , 30,40 " ID="3" Va="-4" NAME="A")", 3, -4, L"A", 10, 20, 40, 60, 0xFFFFFF},
        // Reading stops at the first number that is not there.
        EntryRow{R"(rect="10,x,30,40")", -1, -1, L"", 10, 0, 10, 0, 0xFFFFFF},
        EntryRow{R"(rect="-5,+7,3")", -1, -1, L"", -5, 7, -2, 7, 0xFFFFFF},
        EntryRow{R"(rect="")", -1, -1, L"", 0, 0, 0, 0, 0xFFFFFF},
        // strtol base 10: blanks, sign, digits up to the first non-digit.
        EntryRow{R"(id="  42abc" va="abc")", 42, 0, L"", 0, 0, 0, 0, 0xFFFFFF},
        EntryRow{R"(id="0x1F" va="")", 0, 0, L"", 0, 0, 0, 0, 0xFFFFFF},
        EntryRow{R"(id="99999999999")", 0x7FFFFFFF, -1, L"", 0, 0, 0, 0, 0xFFFFFF},
        EntryRow{R"(color="#00FF00")", -1, -1, L"", 0, 0, 0, 0, 0x00FF00},
        EntryRow{R"(color="00 FF 00")", -1, -1, L"", 0, 0, 0, 0, 0x00FF00},
        EntryRow{R"(color="# 12 #34 56")", -1, -1, L"", 0, 0, 0, 0, 0x123456},
        EntryRow{R"(color="000000")", -1, -1, L"", 0, 0, 0, 0, 0x000000},
        EntryRow{R"(color="zz")", -1, -1, L"", 0, 0, 0, 0, 0xFFFFFF},
        EntryRow{R"(color="")", -1, -1, L"", 0, 0, 0, 0, 0xFFFFFF},
        EntryRow{R"(name="Pad Enter" id="269")", 269, -1, L"Pad Enter", 0, 0, 0, 0, 0xFFFFFF},
        EntryRow{R"(name="‘")", -1, -1, L"\u2018", 0, 0, 0, 0, 0xFFFFFF}));

// --- The coordinate file as a whole ------------------------------------------

TEST_F(KeyboardPictureFixture, EveryChildOfPositionsBecomesAKeyInFileOrder) {
  WriteKeys("keys.xml", R"(<?xml version="1.0"?>
<POSITIONS>
  <key id="1"/>
  <button id="2"/>
  <anything id="3"><key id="99"/></anything>
</POSITIONS>)");
  auto widget = Make({{"crdxml", "keys.xml"}});
  std::vector<int32_t> ids;
  for (const CoordButton& b : widget->buttons()) ids.push_back(b.id);
  EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3}));
}

struct BadFileRow {
  const char* label;
  const char* content;  // null: no file at all
};

class UnusableCoordinateFile : public KeyboardPictureFixture, public testing::WithParamInterface<BadFileRow> {};

TEST_P(UnusableCoordinateFile, LeavesTheWidgetWithoutKeys) {
  if (GetParam().content != nullptr) WriteKeys("keys.xml", GetParam().content);
  auto widget = Make({{"bg", "main:kb_bg"}, {"crdxml", "keys.xml"}});
  EXPECT_TRUE(widget->buttons().empty());
  EXPECT_FALSE(widget->backgroundPicture().isNull());
}

INSTANTIATE_TEST_SUITE_P(Rows, UnusableCoordinateFile,
                         testing::Values(BadFileRow{"missing", nullptr}, BadFileRow{"malformed", "<positions><key id=\"1\""},
                                         BadFileRow{"other_root", "<keys><key id=\"1\"/></keys>"},
                                         BadFileRow{"empty", ""}),
                         [](const auto& info) { return std::string(info.param.label); });

class CoordinateFileName : public KeyboardPictureFixture, public testing::WithParamInterface<const char*> {};

// Windows-style and Unix-style names, with or without a leading separator,
// all name the file below the program folder.
TEST_P(CoordinateFileName, LoadsTheFileFromTheProgramFolder) {
  WriteKeys("kb/keys.xml", Positions(R"(<key id="1"/><key id="2"/>)"));
  auto widget = Make({{"crdxml", GetParam()}});
  EXPECT_EQ(widget->buttons().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Rows, CoordinateFileName,
                         testing::Values("kb/keys.xml", "/kb/keys.xml", "\\kb\\keys.xml", "kb\\keys.xml",
                                         "@string/kbfile"));

TEST_F(KeyboardPictureFixture, NoCoordinateFileNoKeys) {
  auto widget = Make({{"crdxml", ""}});
  EXPECT_TRUE(widget->buttons().empty());
}

TEST_F(KeyboardPictureFixture, KeysAreReadOnceAtCreationAndAppended) {
  WriteKeys("keys.xml", Positions(R"(<key id="1"/>)"));
  auto widget = Make({{"crdxml", "keys.xml"}});
  // A later crdxml loads nothing; reading a file again appends to the list.
  widget->SetAttribute("crdxml", "other.xml");
  EXPECT_EQ(widget->buttons().size(), 1u);
  EXPECT_TRUE(widget->LoadCoordinates(QString::fromStdString(dir_.File("keys.xml"))));
  EXPECT_EQ(widget->buttons().size(), 2u);
}

TEST_F(KeyboardPictureFixture, LayoutBuildsTheWidgetWithItsKeys) {
  app_.classes().Register<CoordButtonImage>();
  WriteKeys("kb/keys.xml", Positions(R"(<key id="1" rect="0,0,10,10"/>)"));
  pugi::xml_document layout;
  ASSERT_TRUE(layout.load_string(
      R"(<layout><CBIMG name="img_keyboard" pos="0,0" size="40,20" crdxml="@string/kbfile" type="0x1" bg="main:kb_bg"/></layout>)"));
  ui::SWindow root(app_, nullptr);
  ui::LayoutLoader(app_).Build(layout.document_element(), &root);
  auto* widget = root.FindChildByName2<CoordButtonImage>("img_keyboard");
  ASSERT_NE(widget, nullptr);
  EXPECT_TRUE(widget->IsClass("cbimg"));
  EXPECT_TRUE(widget->IsClass("window"));
  EXPECT_FALSE(widget->IsClass("img"));
  EXPECT_EQ(widget->buttons().size(), 1u);
  EXPECT_EQ(widget->selectionType(), 1);
}

// --- Attributes ----------------------------------------------------------------

struct TypeRow {
  const char* text;
  int32_t type;
};

class SelectionTypeAttribute : public KeyboardPictureFixture, public testing::WithParamInterface<TypeRow> {};

TEST_P(SelectionTypeAttribute, ReadsDecimalOrHex) {
  auto widget = Make({{"type", GetParam().text}});
  EXPECT_EQ(widget->selectionType(), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Rows, SelectionTypeAttribute,
                         testing::Values(TypeRow{"1", 1}, TypeRow{"2", 2}, TypeRow{"0x2", 2}, TypeRow{"0X10", 16},
                                         TypeRow{" 7", 7}, TypeRow{"-1", -1}, TypeRow{"abc", 0}, TypeRow{"", 0}));

TEST_F(KeyboardPictureFixture, PictureThatDoesNotLoadKeepsThePreviousOne) {
  auto widget = Make({});
  for (const char* attribute : {"bg", "chking", "chked"}) {
    SCOPED_TRACE(attribute);
    EXPECT_TRUE(widget->SetAttribute(attribute, "main:kb_checked"));
    for (const char* bad : {"main:kb_broken", "main:no_such_picture", ""})
      EXPECT_FALSE(widget->SetAttribute(attribute, bad));
  }
  for (const QPixmap* picture : {&widget->backgroundPicture(), &widget->hoverPicture(), &widget->checkedPicture()})
    EXPECT_EQ(picture->toImage().pixel(5, 5), qRgb(200, 0, 0));
}

TEST_F(KeyboardPictureFixture, UnknownAttributesGoToTheBaseWidget) {
  auto widget = Make({});
  EXPECT_TRUE(widget->SetAttribute("tip", "Keyboard"));
  EXPECT_FALSE(widget->SetAttribute("nonsense", "1"));
}

// --- Per-key operations ----------------------------------------------------------

// Keys 0 and 2 share id 1; 0x7FFFFFFF means every key.
constexpr const char* kThreeKeys = R"(<positions>
  <key id="1" name="A" rect="0,0,10,10"/>
  <key id="2" name="B" rect="10,0,10,10"/>
  <key id="1" name="A2" rect="20,0,10,10"/>
</positions>)";

std::vector<int32_t> CheckedFlags(const CoordButtonImage& w) {
  std::vector<int32_t> flags;
  for (const CoordButton& b : w.buttons()) flags.push_back(b.checked);
  return flags;
}

struct OperationRow {
  const char* label;
  void (*apply)(CoordButtonImage&);
  std::vector<int32_t> checked;
};

class CheckOperation : public KeyboardPictureFixture, public testing::WithParamInterface<OperationRow> {};

TEST_P(CheckOperation, ChangesTheFlagsItNames) {
  WriteKeys("keys.xml", kThreeKeys);
  auto widget = Make({{"crdxml", "keys.xml"}});
  GetParam().apply(*widget);
  EXPECT_EQ(CheckedFlags(*widget), GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckOperation,
    testing::Values(
        OperationRow{"set_first_of_duplicate_id", [](CoordButtonImage& w) { w.SetButtonChecked(1, 1); }, {1, 0, 0}},
        OperationRow{"set_keeps_the_value", [](CoordButtonImage& w) { w.SetButtonChecked(2, 5); }, {0, 5, 0}},
        OperationRow{"set_unknown_id", [](CoordButtonImage& w) { w.SetButtonChecked(9, 1); }, {0, 0, 0}},
        OperationRow{"set_all", [](CoordButtonImage& w) { w.SetButtonChecked(0x7FFFFFFF, 1); }, {1, 1, 1}},
        OperationRow{"clear_all",
                     [](CoordButtonImage& w) {
                       w.SetButtonChecked(0x7FFFFFFF, 1);
                       w.SetButtonChecked(0x7FFFFFFF, 0);
                     },
                     {0, 0, 0}},
        OperationRow{"toggle_any_value_to_zero",
                     [](CoordButtonImage& w) {
                       w.SetButtonChecked(2, 5);
                       w.ToggleButtonChecked(2);
                     },
                     {0, 0, 0}},
        OperationRow{"toggle_first_of_duplicate_id", [](CoordButtonImage& w) { w.ToggleButtonChecked(1); }, {1, 0, 0}},
        OperationRow{"toggle_all_inverts_each",
                     [](CoordButtonImage& w) {
                       w.SetButtonChecked(2, 1);
                       w.ToggleButtonChecked(0x7FFFFFFF);
                     },
                     {1, 0, 1}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(KeyboardPictureFixture, SetButtonTipNamesTheFirstKeyOrEveryKey) {
  WriteKeys("keys.xml", kThreeKeys);
  auto widget = Make({{"crdxml", "keys.xml"}});
  widget->SetButtonTip(1, L"Macro 1");
  EXPECT_EQ(widget->buttons()[0].tip, L"Macro 1");
  EXPECT_EQ(widget->buttons()[2].tip, L"");
  widget->SetButtonTip(0x7FFFFFFF, L"x");
  for (const CoordButton& b : widget->buttons()) EXPECT_EQ(b.tip, L"x");
}

// --- Mouse: press, release and the selection rule -------------------------------

struct Call {
  int id;
  std::wstring name;
  int direction;
  uint32_t flags;
  QPoint pt;
};

class RecordingListener : public ICoordButtonClickListener {
 public:
  int OnCoordButtonClick(int id, std::wstring name, int direction, uint32_t flags, QPoint pt) override {
    calls.push_back({id, std::move(name), direction, flags, pt});
    return result;
  }
  std::string Summary() const {
    std::string s;
    for (const Call& c : calls) s += (s.empty() ? "" : " ") + std::to_string(c.id) + (c.direction == 0 ? "v" : "^");
    return s;
  }
  std::vector<Call> calls;
  int result = 0;
};

// Centres of the three keys and a point on no key.
const QPoint kA(5, 5), kB(15, 5), kA2(25, 5), kNone(35, 15);

void Click(QWidget* w, QPoint p) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p); }

struct SelectionRow {
  const char* label;
  const char* type;
  int listenerResult;  // -1: no listener
  std::vector<QPoint> clicks;
  std::vector<int32_t> checked;
};

class SelectionRule : public KeyboardPictureFixture, public testing::WithParamInterface<SelectionRow> {};

TEST_P(SelectionRule, ChecksKeysAsTheTypeSays) {
  const SelectionRow& row = GetParam();
  auto widget = MakeShown(kThreeKeys, row.type);
  RecordingListener listener;
  listener.result = row.listenerResult;
  if (row.listenerResult >= 0) widget->SetClickListener(&listener);
  for (const QPoint& p : row.clicks) Click(widget.get(), p);
  EXPECT_EQ(CheckedFlags(*widget), row.checked);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelectionRule,
    testing::Values(SelectionRow{"single_moves_to_the_last_key", "1", -1, {kA, kB}, {0, 1, 0}},
                    SelectionRow{"single_same_key_again_stays", "1", -1, {kA, kB, kB}, {0, 1, 0}},
                    SelectionRow{"single_duplicate_id_checks_first", "1", -1, {kB, kA2}, {1, 0, 0}},
                    SelectionRow{"multiple_twice_unchecks", "2", -1, {kA, kA}, {0, 0, 0}},
                    SelectionRow{"multiple_keeps_others", "2", -1, {kA, kB}, {1, 1, 0}},
                    SelectionRow{"multiple_duplicate_id_toggles_first", "2", -1, {kA2}, {1, 0, 0}},
                    SelectionRow{"none_changes_nothing", "0", -1, {kA, kB}, {0, 0, 0}},
                    SelectionRow{"other_type_changes_nothing", "3", -1, {kA}, {0, 0, 0}},
                    SelectionRow{"listener_returning_zero_lets_the_rule_run", "2", 0, {kA}, {1, 0, 0}},
                    SelectionRow{"listener_that_dealt_with_it_stops_the_rule", "2", 1, {kA, kB}, {0, 0, 0}},
                    SelectionRow{"click_on_no_key_changes_nothing", "2", -1, {kNone}, {0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.label); });

struct PressReleaseRow {
  const char* label;
  std::vector<std::pair<char, QPoint>> steps;  // 'p' press, 'r' release
  const char* calls;
  std::vector<int32_t> pressed;
};

class PressAndRelease : public KeyboardPictureFixture, public testing::WithParamInterface<PressReleaseRow> {};

// A release is reported only on the key that the press went to.
TEST_P(PressAndRelease, ReportsAReleaseOnlyInsideThePressedKey) {
  auto widget = MakeShown(kThreeKeys);
  RecordingListener listener;
  widget->SetClickListener(&listener);
  for (const auto& [kind, p] : GetParam().steps) {
    if (kind == 'p') QTest::mousePress(widget.get(), Qt::LeftButton, Qt::NoModifier, p);
    else QTest::mouseRelease(widget.get(), Qt::LeftButton, Qt::NoModifier, p);
  }
  EXPECT_EQ(listener.Summary(), GetParam().calls);
  std::vector<int32_t> pressed;
  for (const CoordButton& b : widget->buttons()) pressed.push_back(b.pressed);
  EXPECT_EQ(pressed, GetParam().pressed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PressAndRelease,
    testing::Values(PressReleaseRow{"inside_the_same_key", {{'p', kA}, {'r', kA}}, "1v 1^", {0, 0, 0}},
                    PressReleaseRow{"release_on_another_key", {{'p', kA}, {'r', kB}}, "1v", {1, 0, 0}},
                    PressReleaseRow{"later_release_inside_reports",
                                    {{'p', kA}, {'r', kB}, {'r', kA}}, "1v 1^", {0, 0, 0}},
                    PressReleaseRow{"release_outside_every_key", {{'p', kA}, {'r', kNone}}, "1v", {1, 0, 0}},
                    PressReleaseRow{"press_outside_every_key", {{'p', kNone}, {'r', kA}}, "", {0, 0, 0}},
                    PressReleaseRow{"duplicate_id_reports_the_key_hit", {{'p', kA2}, {'r', kA2}}, "1v 1^", {0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.label); });

struct HitRow {
  QPoint at;
  bool hit;
};

class KeyEdges : public KeyboardPictureFixture, public testing::WithParamInterface<HitRow> {};

// rect="10,20,30,40" covers (10,20) up to, not including, (40,60).
TEST_P(KeyEdges, LeftAndTopAreInsideRightAndBottomOutside) {
  WriteKeys("kb/keys.xml", Positions(R"(<key id="7" rect="10, 20, 30, 40"/>)"));
  auto widget = Make({{"crdxml", "kb/keys.xml"}});
  widget->resize(80, 80);
  widget->show();
  RecordingListener listener;
  widget->SetClickListener(&listener);
  Click(widget.get(), GetParam().at);
  EXPECT_EQ(listener.Summary(), GetParam().hit ? "7v 7^" : "");
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyEdges,
                         testing::Values(HitRow{{10, 20}, true}, HitRow{{39, 59}, true}, HitRow{{40, 30}, false},
                                         HitRow{{20, 60}, false}, HitRow{{9, 30}, false}, HitRow{{20, 19}, false}));

// Areas at the ends of the number range, empty or turned inside out: they
// paint nothing and cannot be hit, and nothing overflows on the way.
TEST_F(KeyboardPictureFixture, ExtremeRectsNeitherCrashNorCatchClicks) {
  auto widget = MakeShown(R"(<positions>
    <key id="1" rect="-2147483648,-2147483648,2147483647,2147483647" color="FF0000"/>
    <key id="2" rect="2147483647,2147483647,2147483647,2147483647"/>
    <key id="3" rect="-2147483648,0,0,10"/>
    <key id="4" rect="30,10,-20,-5" color="00FF00"/>
  </positions>)", "2");
  RecordingListener listener;
  widget->SetClickListener(&listener);
  widget->SetButtonChecked(0x7FFFFFFF, 1);
  QTest::mouseMove(widget.get(), QPoint(15, 7));
  Click(widget.get(), QPoint(15, 7));
  EXPECT_EQ(listener.Summary(), "");
  EXPECT_EQ(widget->grab().toImage().pixel(15, 7), qRgb(30, 30, 30));
}

TEST_F(KeyboardPictureFixture, ListenerGetsTheKeyTheFlagsAndThePointInWidgetCoordinates) {
  auto widget = MakeShown(kThreeKeys);
  RecordingListener listener;
  widget->SetClickListener(&listener);
  QTest::mousePress(widget.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(27, 3));
  QTest::mouseRelease(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(28, 4));
  ASSERT_EQ(listener.calls.size(), 2u);
  EXPECT_EQ(listener.calls[0].name, L"A2");
  EXPECT_EQ(listener.calls[0].pt, QPoint(27, 3));
  EXPECT_TRUE(listener.calls[0].flags & Qt::LeftButton);
  EXPECT_TRUE(listener.calls[0].flags & Qt::ControlModifier);
  EXPECT_EQ(listener.calls[1].direction, 1);
  EXPECT_EQ(listener.calls[1].pt, QPoint(28, 4));
  widget->SetClickListener(nullptr);
  Click(widget.get(), kA);
  EXPECT_EQ(listener.calls.size(), 2u);
}

TEST_F(KeyboardPictureFixture, OtherButtonsNeitherPressNorRelease) {
  auto widget = MakeShown(kThreeKeys, "2");
  RecordingListener listener;
  widget->SetClickListener(&listener);
  QTest::mouseClick(widget.get(), Qt::RightButton, Qt::NoModifier, kA);
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_EQ(CheckedFlags(*widget), (std::vector<int32_t>{0, 0, 0}));
}

// --- Mouse: hover and tool tip ---------------------------------------------------

// Two keys overlap from x = 5 to 10; the second has a tip.
constexpr const char* kOverlapping = R"(<positions>
  <key id="1" name="First" rect="0,0,10,10"/>
  <key id="2" name="Second" rect="5,0,10,10"/>
  <key id="3" name="Third" rect="20,0,10,10"/>
</positions>)";

struct HoverRow {
  QPoint at;
  std::vector<int32_t> hover;
  const wchar_t* tip;
};

class Hover : public KeyboardPictureFixture, public testing::WithParamInterface<HoverRow> {};

TEST_P(Hover, MarksEveryKeyUnderTheMouseAndShowsTheLastOnesText) {
  auto widget = MakeShown(kOverlapping);
  widget->SetButtonTip(3, L"Assigned: Copy");
  QTest::mouseMove(widget.get(), QPoint(25, 5));  // a first move, so every row moves away from somewhere
  QTest::mouseMove(widget.get(), GetParam().at);
  std::vector<int32_t> hover;
  for (const CoordButton& b : widget->buttons()) hover.push_back(b.hover);
  EXPECT_EQ(hover, GetParam().hover);
  EXPECT_EQ(widget->toolTip().toStdWString(), GetParam().tip);
}

INSTANTIATE_TEST_SUITE_P(Rows, Hover,
                         testing::Values(HoverRow{{2, 2}, {1, 0, 0}, L"First"},
                                         HoverRow{{7, 2}, {1, 1, 0}, L"Second"},  // overlap: the last one's text
                                         HoverRow{{10, 9}, {0, 1, 0}, L"Second"},  // right edge of First excluded
                                         HoverRow{{20, 0}, {0, 0, 1}, L"Assigned: Copy"},  // tip beats name
                                         HoverRow{{30, 5}, {0, 0, 0}, L""},
                                         HoverRow{{2, 10}, {0, 0, 0}, L""}));

TEST_F(KeyboardPictureFixture, LeavingTheWidgetClearsHoverAndTip) {
  auto widget = MakeShown(kOverlapping);
  QTest::mouseMove(widget.get(), QPoint(7, 2));
  ASSERT_FALSE(widget->toolTip().isEmpty());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget.get(), &leave);
  for (const CoordButton& b : widget->buttons()) EXPECT_EQ(b.hover, 0);
  EXPECT_TRUE(widget->toolTip().isEmpty());
}

}  // namespace
}  // namespace keyloom::widgets::test
