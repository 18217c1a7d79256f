#include <QCoreApplication>
#include <QEnterEvent>
#include <QMap>
#include <QStringList>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/ToolkitFixture.h"
#include "widgets/SAnimImg.h"
#include "widgets/SolidFrames.h"

namespace keyloom::widgets::test {
namespace {

// Enter frames in0..in4 and leave frames out0..out2, each a solid colour.
const std::vector<QRgb> kEnterColours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0),
                                         qRgb(255, 0, 255)};
const std::vector<QRgb> kLeaveColours = {qRgb(0, 255, 255), qRgb(255, 255, 255), qRgb(128, 128, 128)};
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 6;

class AnimFixture : public ui::test::ToolkitFixture {
 protected:
  AnimFixture() {
    app_.classes().Register<SAnimImg>();
    const std::vector<QRgb> four(kEnterColours.begin(), kEnterColours.begin() + 4);
    AddResource("img", "in5", "image/in5.png", SolidFramesPng(kEnterColours, kFrameWidth, kFrameHeight));
    AddResource("img", "in4", "image/in4.png", SolidFramesPng(four, kFrameWidth, kFrameHeight));
    AddResource("img", "out3", "image/out3.png", SolidFramesPng(kLeaveColours, kFrameWidth, kFrameHeight));
    dir_.Write("uires/values/skin.xml", R"(<skin>
      <imglist name="in5" src="img:in5" states="5"/>
      <imglist name="in4" src="img:in4" states="4"/>
      <imglist name="out3" src="img:out3" states="3"/>
    </skin>)");
    app_.Initialize(QString::fromStdString(dir_.File("uires")), "uidef:xml_init");
  }

  SAnimImg* MakeAnim(const std::string& attributes) {
    AddLayout("anim", R"(<layout width="100" height="50"><anmimg name="anim" pos="0,0" )" + attributes +
                          "/></layout>");
    host_ = std::make_unique<ui::SHostWnd>(app_);
    host_->CreateFromLayout("LAYOUT:anim");
    return host_->FindChildByName2<SAnimImg>("anim");
  }

  // Which sub-image the widget paints, from the colour in its middle.
  static QString Painted(SAnimImg* anim) {
    const QRgb pixel = anim->grab().toImage().pixel(anim->width() / 2, anim->height() / 2);
    for (size_t i = 0; i < kEnterColours.size(); ++i)
      if (pixel == kEnterColours[i]) return QString("in%1").arg(i);
    for (size_t i = 0; i < kLeaveColours.size(); ++i)
      if (pixel == kLeaveColours[i]) return QString("out%1").arg(i);
    return "none";
  }

  static void Hover(SAnimImg* anim) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(anim, &enter);
  }
  static void Leave(SAnimImg* anim) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(anim, &leave);
  }

  std::unique_ptr<ui::SHostWnd> host_;
};

// A script is a list of words run in order: "enter" and "leave" send the
// mouse's events; "+N" ticks the host's timeline N times (10 ms each);
// "=inK", "=outK" or "=none" checks what is painted; "busy" and "idle"
// check whether the picture asks for ticks.
struct ScriptCase {
  const char* name;
  const char* attributes;
  const char* script;
};

class AnimScript : public AnimFixture, public testing::WithParamInterface<ScriptCase> {};

TEST_P(AnimScript, PlaysAsScripted) {
  SAnimImg* anim = MakeAnim(GetParam().attributes);
  ASSERT_NE(anim, nullptr);
  int ticks = 0;
  for (const QString& word : QString(GetParam().script).split(' ', Qt::SkipEmptyParts)) {
    const std::string at = "at tick " + std::to_string(ticks) + ", word " + word.toStdString();
    if (word == "enter") {
      Hover(anim);
    } else if (word == "leave") {
      Leave(anim);
    } else if (word.startsWith('+')) {
      for (int i = word.mid(1).toInt(); i > 0; --i, ++ticks) host_->timeline().Tick();
    } else if (word.startsWith('=')) {
      EXPECT_EQ(Painted(anim), word.mid(1)) << at;
    } else if (word == "busy" || word == "idle") {
      EXPECT_EQ(anim->IsAnimating(), word == "busy") << at;
    } else {
      FAIL() << "unknown script word " << word.toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, AnimScript, testing::Values(
    // Frames 0..4 50 ms apart after a hover; the last stays while hovered,
    // without ticks.
    ScriptCase{"Interval50", R"(size="8,6" interval="50" ani_in="in5")",
               "=in0 idle enter busy +4 =in0 +1 =in1 +4 =in1 +1 =in2 +5 =in3 +5 =in4 +5 =in4 idle +50 =in4"},
    ScriptCase{"Interval50Hex", R"(size="8,6" interval="0x32" ani_in="in5")", "enter +4 =in0 +1 =in1"},
    // 30 ms is three ticks.
    ScriptCase{"Interval30", R"(size="8,6" interval="30" ani_in="in5")", "enter +2 =in0 +1 =in1 +2 =in1 +1 =in2"},
    // Plays 2 s after creation, returns to rest, and plays again 2 s after
    // that run ended (counted from the tick that ended it).
    ScriptCase{"Autorun2", R"(size="8,6" autorun="2" ani_in="in4")",
               "busy +204 =in0 +1 =in1 +10 =in3 +4 =in3 +1 =in0 busy +198 +5 =in0 +1 =in1 +10 =in3 +5 =in0 busy"},
    // The enter sequence runs out, then the leave sequence follows at the
    // next step and the rest picture returns.
    ScriptCase{"LeaveBeforeTheEnd", R"(size="8,6" ani_in="in5" ani_out="out3")",
               "enter +10 =in2 leave +9 =in3 +1 =in4 +4 =in4 +1 =out0 +5 =out1 +5 =out2 busy +5 =in0 idle"},
    // Leaving while the last enter frame is held wakes the picture; the
    // leave sequence starts on the same 50 ms beat.
    ScriptCase{"LeaveWhileHeld", R"(size="8,6" ani_in="in5" ani_out="out3")",
               "enter +30 =in4 idle leave busy +4 =in4 +1 =out0"},
    // A leave without a hover leaves the count at 0 after the next hover:
    // the mouse counts as gone.
    ScriptCase{"LeaveWithoutHover", R"(size="8,6" ani_in="in5" ani_out="out3")", "leave enter +20 =in4 +5 =out0"},
    ScriptCase{"NoLeaveSkinKeepsTheLastFrame", R"(size="8,6" ani_in="in5")", "enter leave +25 =in4 idle +50 =in4"},
    ScriptCase{"NoEnterSkinDrawsNothing", R"(size="8,6" ani_out="out3")",
               "=none enter idle +30 =none leave idle +30 =none"},
    ScriptCase{"UnknownSkinDrawsNothing", R"(size="8,6" ani_in="nothing" autorun="0")", "=none +30 =none"}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

TEST_F(AnimFixture, AShownWindowWithAPictureAtRestDoesNotTick) {
  SAnimImg* anim = MakeAnim(R"(size="8,6" ani_in="in5" ani_out="out3")");
  host_->show();
  EXPECT_FALSE(host_->timeline().IsRunning());
  Hover(anim);
  EXPECT_TRUE(host_->timeline().IsRunning());
  for (int i = 0; i < 30; ++i) host_->timeline().Tick();
  EXPECT_FALSE(host_->timeline().IsRunning());  // holding the last frame
  Leave(anim);
  EXPECT_TRUE(host_->timeline().IsRunning());
  for (int i = 0; i < 20; ++i) host_->timeline().Tick();
  EXPECT_FALSE(host_->timeline().IsRunning());  // at rest again
  Hover(anim);
  delete anim;  // leaves the timeline with the widget
  EXPECT_FALSE(host_->timeline().IsRunning());
  host_->timeline().Tick();
}

struct SizeCase {
  const char* attributes;
  QSize desired;
};

class AnimSize : public AnimFixture, public testing::WithParamInterface<SizeCase> {};

TEST_P(AnimSize, DesiredSizeIsTheFrameSizeUnlessTheLayoutGivesOne) {
  EXPECT_EQ(MakeAnim(GetParam().attributes)->sizeHint(), GetParam().desired);
}

INSTANTIATE_TEST_SUITE_P(Table, AnimSize, testing::Values(
    SizeCase{R"(ani_in="in5")", QSize(kFrameWidth, kFrameHeight)},
    SizeCase{R"(size="30,0" ani_in="in5")", QSize(30, kFrameHeight)},
    SizeCase{R"(size="-5,20" ani_in="in5")", QSize(kFrameWidth, 20)},
    SizeCase{R"(size="30,20" ani_out="out3")", QSize(0, 0)}));

}  // namespace
}  // namespace keyloom::widgets::test
