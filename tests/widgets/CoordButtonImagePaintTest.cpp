#include <gtest/gtest.h>

#include <QTest>

#include "widgets/KeyboardPictureFixture.h"

namespace keyloom::widgets::test {
namespace {

// Key 1 on the green half of the hover picture, key 2 on its blue half, key 3
// (yellow) under the background's transparent strip.
constexpr const char* kKeys = R"(<positions>
  <key id="1" name="A" rect="2,2,6,6" color="#FF00FF"/>
  <key id="2" name="B" rect="22,2,6,6"/>
  <key id="3" name="C" rect="32,2,6,6" color="FFFF00"/>
</positions>)";

QRgb PixelAt(QWidget& widget, QPoint p) { return widget.grab().toImage().pixel(p); }

const QRgb kGrey = qRgb(30, 30, 30), kGreen = qRgb(0, 200, 0), kBlue = qRgb(0, 0, 200), kRed = qRgb(200, 0, 0);

struct PaintRow {
  const char* label;
  void (*prepare)(CoordButtonImage&);
  QPoint at;
  QRgb expected;
};

class Painting : public KeyboardPictureFixture, public testing::WithParamInterface<PaintRow> {};

TEST_P(Painting, ShowsTheRightPictureInEachKeysArea) {
  auto widget = MakeShown(kKeys);
  GetParam().prepare(*widget);
  EXPECT_EQ(PixelAt(*widget, GetParam().at), GetParam().expected);
}

void Nothing(CoordButtonImage&) {}
void HoverA(CoordButtonImage& w) { QTest::mouseMove(&w, QPoint(4, 4)); }
void CheckA(CoordButtonImage& w) { w.SetButtonChecked(1, 1); }

INSTANTIATE_TEST_SUITE_P(
    Rows, Painting,
    testing::Values(PaintRow{"background_over_key_colour", Nothing, {4, 4}, kGrey},
                    PaintRow{"key_colour_where_background_is_transparent", Nothing, {34, 4}, qRgb(255, 255, 0)},
                    PaintRow{"hovered_key_from_hover_picture", HoverA, {4, 4}, kGreen},
                    PaintRow{"hover_stays_inside_the_key", HoverA, {9, 4}, kGrey},
                    PaintRow{"moving_away_ends_the_hover",
                             [](CoordButtonImage& w) {
                               HoverA(w);
                               QTest::mouseMove(&w, QPoint(15, 15));
                             },
                             {4, 4}, kGrey},
                    PaintRow{"checked_key_from_checked_picture", CheckA, {7, 7}, kRed},
                    PaintRow{"checked_drawn_over_hovered",
                             [](CoordButtonImage& w) {
                               CheckA(w);
                               HoverA(w);
                             },
                             {4, 4}, kRed},
                    PaintRow{"clicking_with_multiple_selection_checks",
                             [](CoordButtonImage& w) {
                               w.SetAttribute("type", "2");
                               QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(24, 4));
                             },
                             {24, 4}, kRed}),
    [](const auto& info) { return std::string(info.param.label); });

// The background stretches with the widget; a key's area is copied one to
// one from the hover picture, from the same coordinates.
TEST_F(KeyboardPictureFixture, HoverAreaIsCopiedOneToOneNotScaled) {
  auto widget = MakeShown(kKeys);
  widget->resize(80, 40);
  QTest::mouseMove(widget.get(), QPoint(24, 4));
  const QImage image = widget->grab().toImage();
  EXPECT_EQ(image.pixel(24, 4), kBlue);   // scaled, x = 24 would come from x = 12: green
  EXPECT_EQ(image.pixel(50, 30), kGrey);  // stretched background
}

}  // namespace
}  // namespace keyloom::widgets::test
