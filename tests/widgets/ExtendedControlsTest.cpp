#include <QAbstractButton>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/ToolkitFixture.h"
#include "widgets/EventKeyEnter.h"
#include "widgets/SCheckBoxEx.h"
#include "widgets/SEditEx.h"
#include "widgets/SRadioBoxEx.h"
#include "widgets/SolidFrames.h"

namespace keyloom::widgets::test {
namespace {

const std::vector<QRgb> kFill = {qRgb(10, 0, 0), qRgb(20, 0, 0), qRgb(30, 0, 0), qRgb(40, 0, 0)};
const std::vector<QRgb> kIcon = {qRgb(0, 10, 0), qRgb(0, 20, 0), qRgb(0, 30, 0), qRgb(0, 40, 0),
                                 qRgb(0, 50, 0), qRgb(0, 60, 0), qRgb(0, 70, 0), qRgb(0, 80, 0)};

class ExtendedFixture : public ui::test::ToolkitFixture {
 protected:
  ExtendedFixture() {
    app_.classes().Register<SCheckBoxEx>();
    app_.classes().Register<SRadioBoxEx>();
    app_.classes().Register<SEditEx>();
    AddResource("img", "fill3", "image/fill3.png", SolidFramesPng({kFill.begin(), kFill.begin() + 3}, 6, 4));
    AddResource("img", "fill4", "image/fill4.png", SolidFramesPng(kFill, 6, 4));
    AddResource("img", "icon8", "image/icon8.png", SolidFramesPng(kIcon, 16, 10));
    dir_.Write("uires/values/skin.xml", R"(<skin>
      <imglist name="fill3" src="img:fill3" states="3"/>
      <imglist name="fill4" src="img:fill4" states="4"/>
      <imglist name="icon8" src="img:icon8" states="8"/>
    </skin>)");
    app_.Initialize(QString::fromStdString(dir_.File("uires")), "uidef:xml_init");
  }

  void Load(const std::string& widgets) {
    AddLayout("controls", R"(<layout width="300" height="200">)" + widgets + "</layout>");
    host_ = std::make_unique<ui::test::RecordingHost>(app_);
    host_->CreateFromLayout("LAYOUT:controls");
  }

  static void Hover(QWidget* target) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(target, &enter);
  }

  std::unique_ptr<ui::test::RecordingHost> host_;
};

// One look of a checkex or radioex: which fill sub-image and which icon
// sub-image are painted.
struct LookCase {
  const char* name;
  const char* element;
  const char* fill;
  bool checked, hovered, pressed, disabled;
  int fillState;
  int iconState;
};

class ToggleLooks : public ExtendedFixture, public testing::WithParamInterface<LookCase> {};

TEST_P(ToggleLooks, PaintsTheSubImagesOfItsState) {
  const LookCase& c = GetParam();
  Load(std::string("<") + c.element + R"( name="box" pos="10,10" size="120,40" iconSkin="icon8" iconPos="4,4" skin=")" +
       c.fill + "\"/>");
  auto* box = host_->FindChildByName2<ui::SCheckBox>("box");
  ASSERT_NE(box, nullptr);
  box->SetCheck(c.checked);
  box->setEnabled(!c.disabled);
  QAbstractButton* button = box->button();
  if (c.hovered) Hover(button);
  if (c.pressed) QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(100, 30));
  const QImage picture = box->grab().toImage();
  EXPECT_EQ(picture.pixel(110, 35), kFill[c.fillState]);
  EXPECT_EQ(picture.pixel(12, 9), kIcon[c.iconState]);
  if (c.pressed) QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(100, 30));
}

INSTANTIATE_TEST_SUITE_P(Table, ToggleLooks, testing::Values(
    // pressed 2, else hovered 1, else checked the last sub-image, else 0
    LookCase{"Check3Normal", "checkex", "fill3", false, false, false, false, 0, 0},
    LookCase{"Check3Checked", "checkex", "fill3", true, false, false, false, 2, 4},
    LookCase{"Check3CheckedHovered", "checkex", "fill3", true, true, false, false, 1, 5},
    LookCase{"Check3CheckedPressed", "checkex", "fill3", true, true, true, false, 2, 6},
    LookCase{"Check4Checked", "checkex", "fill4", true, false, false, false, 3, 4},
    LookCase{"Check4Hovered", "checkex", "fill4", false, true, false, false, 1, 1},
    LookCase{"Check4Pressed", "checkex", "fill4", false, true, true, false, 2, 2},
    LookCase{"Check4Disabled", "checkex", "fill4", false, false, false, true, 0, 3},
    LookCase{"Check4CheckedDisabled", "checkex", "fill4", true, false, false, true, 3, 7},
    LookCase{"Radio4Checked", "radioex", "fill4", true, false, false, false, 3, 4},
    LookCase{"Radio4CheckedHovered", "radioex", "fill4", true, true, false, false, 1, 5},
    LookCase{"Radio4Pressed", "radioex", "fill4", false, true, true, false, 2, 2}),
    [](const testing::TestParamInfo<LookCase>& info) { return std::string(info.param.name); });

TEST_F(ExtendedFixture, TextStartsAfterTheIconMovedByTheTextOffset) {
  Load(R"(<checkex name="box" pos="0,0" size="120,40" skin="fill4" iconSkin="icon8" iconPos="10,4" textX="6"
        valign="top" colorText="#FFFFFF" fontSize="14">HHHH</checkex>)");
  auto* box = host_->FindChildByName2<SCheckBoxEx>("box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->TextRect().topLeft(), QPoint(32, 4));  // 10 + 16 + 6
  const QImage picture = box->grab().toImage();
  int leftmost = picture.width();
  int topmost = picture.height();
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (qRed(picture.pixel(x, y)) > 128) {
        leftmost = std::min(leftmost, x);
        topmost = std::min(topmost, y);
      }
  EXPECT_GE(leftmost, 32);
  EXPECT_LT(leftmost, 40);
  EXPECT_GE(topmost, 4);
}

struct OffsetCase {
  const char* attributes;
  QPoint textTopLeft;
};

class ToggleOffsets : public ExtendedFixture, public testing::WithParamInterface<OffsetCase> {};

TEST_P(ToggleOffsets, ReadsIconPositionAndTextOffset) {
  Load(std::string(R"(<radioex name="box" pos="0,0" size="120,40" )") + GetParam().attributes + "/>");
  auto* box = host_->FindChildByName2<SRadioBoxEx>("box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->TextRect().topLeft(), GetParam().textTopLeft);
}

INSTANTIATE_TEST_SUITE_P(Table, ToggleOffsets, testing::Values(
    OffsetCase{R"(iconPos="10,4")", QPoint(10, 4)},
    OffsetCase{R"(iconPos="7")", QPoint(7, 0)},            // y unreadable: stays 0
    OffsetCase{R"(iconPos="x,3")", QPoint(0, 0)},          // reading stops at x
    OffsetCase{R"(iconPos="-2,5" textX="0x10" textY="3")", QPoint(14, 8)},
    OffsetCase{R"(textX="abc" textY="9px")", QPoint(0, 9)},
    OffsetCase{R"(iconSkin="icon8" iconSkin="nothing" textX="1")", QPoint(1, 0)}));

TEST_F(ExtendedFixture, AClickAnywhereOnThePictureTogglesButTheProgramsChangeIsSilent) {
  Load(R"(<checkex name="box" pos="0,0" size="120,40" skin="fill4">Record</checkex>)");
  auto* box = host_->FindChildByName2<SCheckBoxEx>("box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->sizeHint(), QSize(6, 4));
  QTest::mouseClick(box->button(), Qt::LeftButton, Qt::NoModifier, QPoint(115, 35));
  EXPECT_TRUE(box->IsChecked());
  box->SetCheck(false);
  const auto commands = host_->Of(ui::EventKind::Command);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].value, 1);
}

TEST_F(ExtendedFixture, EnterRaisesKeyEnterPerPressAndNeverReachesTheLineEdit) {
  Load(R"(<editex name="delay" pos="0,0" size="120,24"/>)");
  auto* edit = host_->FindChildByName2<SEditEx>("delay");
  ASSERT_NE(edit, nullptr);
  int byId = 0;
  int byName = 0;
  EXPECT_NE(edit->SubscribeEvent(EventKeyEnter::kId, [&](ui::EventArgs&) { return ++byId, false; }), 0);
  EXPECT_NE(edit->SubscribeEvent(QString(EventKeyEnter::kName), [&](ui::EventArgs&) { return ++byName, false; }), 0);
  EXPECT_EQ(edit->SubscribeEvent(10000501, [](ui::EventArgs&) { return false; }), 0);
  QSignalSpy returns(edit->lineEdit(), &QLineEdit::returnPressed);

  QTest::keyClicks(edit->lineEdit(), "25");
  QTest::keyClick(edit->lineEdit(), Qt::Key_Return);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier, "\r", true);
  QCoreApplication::sendEvent(edit->lineEdit(), &repeat);

  EXPECT_EQ(edit->lineEdit()->text(), "25");
  EXPECT_EQ(returns.count(), 0);
  EXPECT_EQ(byId, 2);
  EXPECT_EQ(byName, 2);
  const auto enters = host_->Of(ui::EventKind::KeyEnter);
  ASSERT_EQ(enters.size(), 2u);
  EXPECT_EQ(enters[0].text, "25");
  EXPECT_EQ(enters[0].senderName, "delay");
  EXPECT_EQ(host_->Of(ui::EventKind::TextChange).size(), 2u);
}

TEST_F(ExtendedFixture, AClickEnablesADisabledEditWithoutMovingTheCaret) {
  Load(R"(<editex name="delay" pos="0,0" size="200,24" text="123456"/>)");
  auto* edit = host_->FindChildByName2<SEditEx>("delay");
  ASSERT_NE(edit, nullptr);
  edit->lineEdit()->setCursorPosition(0);
  edit->setEnabled(false);
  const QPoint end(190, 12);
  QTest::mouseClick(edit->lineEdit(), Qt::LeftButton, Qt::NoModifier, end);
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_TRUE(edit->lineEdit()->isEnabled());
  EXPECT_EQ(edit->lineEdit()->cursorPosition(), 0);
  // Once enabled it is an ordinary edit: a click places the caret.
  QTest::mouseClick(edit->lineEdit(), Qt::LeftButton, Qt::NoModifier, end);
  EXPECT_EQ(edit->lineEdit()->cursorPosition(), 6);
}

TEST_F(ExtendedFixture, AShownWindowWithTheseControlsDoesNotTick) {
  Load(R"(<checkex name="c" pos="0,0" size="60,20" skin="fill4"/><radioex name="r" pos="0,30" size="60,20"/>
          <editex name="e" pos="0,60" size="60,20"/>)");
  host_->show();
  Hover(host_->FindChildByName2<SCheckBoxEx>("c")->button());
  QTest::keyClick(host_->FindChildByName2<SEditEx>("e")->lineEdit(), Qt::Key_Return);
  EXPECT_FALSE(host_->timeline().IsRunning());
}

}  // namespace
}  // namespace keyloom::widgets::test
