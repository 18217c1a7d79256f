#include <gtest/gtest.h>

#include <QTest>

#include "widgets/KeyboardPictureFixture.h"

namespace keyloom::widgets::test {
namespace {

constexpr const char* kKeys = R"(<positions>
  <key id="1" name="A" rect="3,2,7,6"/>
  <key id="2" name="B" rect="21,11,9,5"/>
</positions>)";

// Every device pixel of a key's area comes from the same device pixel of the
// 2x picture: nothing is scaled up from the 1x picture or shifted.
void ExpectDevicePixelsMatch(const QImage& grab, const QImage& picture, QRect logical) {
  for (int y = logical.top() * 2; y < (logical.bottom() + 1) * 2; ++y)
    for (int x = logical.left() * 2; x < (logical.right() + 1) * 2; ++x)
      ASSERT_EQ(grab.pixel(x, y), picture.pixel(x, y)) << "device pixel " << x << "," << y;
}

TEST_F(KeyboardPictureFixture, TwoTimesPicturesArePaintedCrisp) {
  auto widget = MakeShown(kKeys);
  ASSERT_EQ(widget->devicePixelRatio(), 2.0);
  ASSERT_EQ(widget->hoverPicture().devicePixelRatio(), 2.0);
  widget->SetButtonChecked(2, 1);
  QTest::mouseMove(widget.get(), QPoint(5, 5));
  const QImage grab = widget->grab().toImage();
  ASSERT_EQ(grab.size(), QSize(80, 40));
  ExpectDevicePixelsMatch(grab, Pattern2x(100), QRect(3, 2, 7, 6));    // hovered: hover picture
  ExpectDevicePixelsMatch(grab, Pattern2x(200), QRect(21, 11, 9, 5));  // checked: checked picture
  ExpectDevicePixelsMatch(grab, Pattern2x(0), QRect(12, 0, 8, 20));    // elsewhere: background
}

}  // namespace
}  // namespace keyloom::widgets::test
