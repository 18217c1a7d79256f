#include <gtest/gtest.h>

#include <QRect>
#include <set>

#include "macros/KeyNameTable.h"
#include "platform/linux/KeyTable.h"
#include "ui/toolkit/ResourceProvider.h"
#include "widgets/KeyboardPictureFixture.h"

namespace keyloom::widgets::test {
namespace {

using platform::linux_input::FindKeyByEvdev;
using platform::linux_input::KeyRow;
using platform::linux_input::KeyRows;

// The row the hook reports for a key id (virtual-key code + 0x100 when
// extended): a row with that code and flag whose evdev code the hook maps
// back to that very row.
const KeyRow* HookRowOf(int32_t id) {
  int count = 0;
  const KeyRow* rows = KeyRows(&count);
  for (int i = 0; i < count; ++i) {
    const KeyRow& row = rows[i];
    if (row.vk + (row.extended ? 0x100 : 0) == id && FindKeyByEvdev(row.evdev) == &row) return &row;
  }
  return nullptr;
}

class ShippedKeyboard : public KeyboardPictureFixture {
 protected:
  void SetUp() override {
    widget_ = Make({});
    ASSERT_TRUE(widget_->LoadCoordinates(KEYLOOM_SOURCE_DIR "/uires/keyboard/keyboard.xml"));
  }
  std::unique_ptr<CoordButtonImage> widget_;
};

TEST_F(ShippedKeyboard, HasTheHundredAndFourKeysOfAFullSizeKeyboardOnce) {
  std::set<int32_t> ids;
  for (const CoordButton& key : widget_->buttons()) EXPECT_TRUE(ids.insert(key.id).second) << "duplicate id " << key.id;
  EXPECT_EQ(widget_->buttons().size(), 104u);
}

TEST_F(ShippedKeyboard, EveryKeyIsOneTheHookReportsUnderTheRecordersName) {
  for (const CoordButton& key : widget_->buttons()) {
    SCOPED_TRACE(testing::Message() << "id 0x" << std::hex << key.id);
    ASSERT_GE(key.id, 0);
    ASSERT_LT(key.id, 0x200);
    EXPECT_NE(HookRowOf(key.id), nullptr);
    const wchar_t* name = LookupKeyName(key.id & 0xFF, (key.id & 0x100) != 0);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(key.name, name);
  }
}

TEST_F(ShippedKeyboard, KeysLieInsideThePictureWithoutOverlapping) {
  const QRect picture(0, 0, 960, 300);
  const std::vector<CoordButton>& keys = widget_->buttons();
  for (size_t i = 0; i < keys.size(); ++i) {
    const QRect area = keys[i].Area();
    EXPECT_FALSE(area.isEmpty()) << keys[i].id;
    EXPECT_TRUE(picture.contains(area)) << keys[i].id;
    for (size_t j = i + 1; j < keys.size(); ++j)
      EXPECT_FALSE(area.intersects(keys[j].Area())) << keys[i].id << " and " << keys[j].id;
  }
}

// The program's index names the four pictures, each with a 2x variant of
// exactly double the size.
TEST_F(ShippedKeyboard, IndexNamesEveryPictureAndItsTwoTimesVariant) {
  ui::ResourceProvider resources;
  ASSERT_TRUE(resources.Open(KEYLOOM_SOURCE_DIR "/uires"));
  for (const char* kind : {"normal", "floating", "checked", "pressed"}) {
    SCOPED_TRACE(kind);
    const QString name = QString("main:img_keboard_%1_png").arg(kind);
    const QPixmap normal = resources.ReadImage(name, 1.0);
    const QPixmap doubled = resources.ReadImage(name, 2.0);
    EXPECT_EQ(normal.size(), QSize(960, 300));
    EXPECT_EQ(doubled.size(), QSize(1920, 600));
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
  }
}

}  // namespace
}  // namespace keyloom::widgets::test
