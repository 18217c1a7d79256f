#include <QImage>
#include <QPainter>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

using Resources = ToolkitFixture;

TEST_F(Resources, IndexLookupIgnoresLetterCaseOfTypeAndName) {
  const QString expected = QString::fromStdString(dir_.File("uires/layout/test.xml"));
  EXPECT_EQ(app_.resources().PathOf("LAYOUT:XML_TEST"), expected);
  EXPECT_EQ(app_.resources().PathOf("layout:xml_test"), expected);
  EXPECT_EQ(app_.resources().PathOf("Layout", "Xml_Test"), expected);
  EXPECT_TRUE(app_.resources().PathOf("layout:missing").isEmpty());
  EXPECT_TRUE(app_.resources().ReadBytes("img:missing").isEmpty());
}

TEST_F(Resources, MissingFolderOpensNothingAndEveryLookupMisses) {
  ResourceProvider provider;
  EXPECT_FALSE(provider.Open("/nonexistent/uires"));
  EXPECT_TRUE(provider.PathOf("layout:xml_test").isEmpty());
}

TEST_F(Resources, StringTableKeepsFileOrderSoEntryZeroIsTheFirstItem) {
  EXPECT_EQ(app_.definition().strings().At(0), "test-instance");
  EXPECT_EQ(app_.definition().strings().Get("TITLE"), "Hello");
  EXPECT_EQ(app_.definition().ResolveString("@string/title"), "Hello");
  EXPECT_EQ(app_.definition().ResolveString("plain"), "plain");
  EXPECT_EQ(app_.definition().ResolveColor("@color/accent"), QColor(0x10, 0x20, 0x30));
  EXPECT_FALSE(app_.definition().ResolveColor("@color/none").isValid());
}

TEST_F(Resources, SkinDrawsTheSubImageOfTheRequestedState) {
  auto skin = app_.definition().Skin("STRIP");
  ASSERT_TRUE(skin);
  EXPECT_EQ(skin->states(), 3);
  EXPECT_EQ(skin->StateSize(), QSize(2, 1));
  const QRgb expected[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 0, 255)};
  for (int state = 0; state < 4; ++state) {  // state 3 is past the last: clamped
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    skin->Draw(painter, QRect(0, 0, 4, 4), state);
    painter.end();
    EXPECT_EQ(target.pixel(2, 2), expected[state]) << "state " << state;
  }
  EXPECT_EQ(app_.definition().Skin("unknown"), nullptr);
}

}  // namespace
}  // namespace keyloom::ui::test
