#include "widgets/KeyboardPictureFixture.h"

#include <QBuffer>
#include <QTest>

namespace keyloom::widgets::test {
namespace {

std::string Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

}  // namespace

QImage KeyboardPictureFixture::Background() {
  QImage image = Filled(40, 20, qRgb(30, 30, 30));
  for (int y = 0; y < 20; ++y)
    for (int x = 30; x < 40; ++x) image.setPixel(x, y, qRgba(0, 0, 0, 0));
  return image;
}

QImage KeyboardPictureFixture::Hover() {
  QImage image = Filled(40, 20, qRgb(0, 200, 0));
  for (int y = 0; y < 20; ++y)
    for (int x = 20; x < 40; ++x) image.setPixel(x, y, qRgb(0, 0, 200));
  return image;
}

QImage KeyboardPictureFixture::Checked() { return Filled(40, 20, qRgb(200, 0, 0)); }

QImage KeyboardPictureFixture::Pattern2x(int seed) {
  QImage image(80, 40, QImage::Format_ARGB32);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) image.setPixel(x, y, qRgb((x * 3 + seed) % 256, (y * 6 + seed) % 256, (x + y) % 2 * 255));
  return image;
}

KeyboardPictureFixture::KeyboardPictureFixture() {
  dir_.Write("uires/uires.idx", R"(<resource>
  <uidef><file name="xml_init" path="values/init.xml"/></uidef>
  <values>
    <file name="string" path="values/string.xml"/>
    <file name="color" path="values/color.xml"/>
    <file name="skin" path="values/skin.xml"/>
  </values>
  <main>
    <file name="kb_bg" path="image/bg.png"/>
    <file name="kb_bg@2x" path="image/bg@2x.png"/>
    <file name="kb_hover" path="image/hover.png"/>
    <file name="kb_hover@2x" path="image/hover@2x.png"/>
    <file name="kb_checked" path="image/checked.png"/>
    <file name="kb_checked@2x" path="image/checked@2x.png"/>
    <file name="kb_broken" path="image/broken.png"/>
  </main>
</resource>)");
  dir_.Write("uires/values/init.xml",
             R"(<uidef><string src="values:string"/><color src="values:color"/><skin src="values:skin"/></uidef>)");
  dir_.Write("uires/values/string.xml",
             R"(<string><item name="instance" value="test"/><item name="kbfile" value="kb/keys.xml"/></string>)");
  dir_.Write("uires/values/color.xml", "<color/>");
  dir_.Write("uires/values/skin.xml", "<skin/>");
  dir_.Write("uires/image/bg.png", Png(Background()));
  dir_.Write("uires/image/hover.png", Png(Hover()));
  dir_.Write("uires/image/checked.png", Png(Checked()));
  dir_.Write("uires/image/bg@2x.png", Png(Pattern2x(0)));
  dir_.Write("uires/image/hover@2x.png", Png(Pattern2x(100)));
  dir_.Write("uires/image/checked@2x.png", Png(Pattern2x(200)));
  dir_.Write("uires/image/broken.png", "not a picture");
  app_.Initialize(QString::fromStdString(dir_.File("uires")), "uidef:xml_init");
  app_.SetProgramFolder(QString::fromStdString(dir_.path().string()));
}

std::string KeyboardPictureFixture::WriteKeys(const std::string& name, const std::string& xml) const {
  dir_.Write(name, xml);
  return name;
}

std::unique_ptr<CoordButtonImage> KeyboardPictureFixture::Make(
    const std::vector<std::pair<QString, QString>>& attributes) {
  auto widget = std::make_unique<CoordButtonImage>(app_, nullptr);
  for (const auto& [name, value] : attributes) widget->SetAttribute(name, value);
  widget->OnLayoutLoaded();
  return widget;
}

std::unique_ptr<CoordButtonImage> KeyboardPictureFixture::MakeShown(const std::string& keysXml, const QString& type) {
  WriteKeys("kb/keys.xml", keysXml);
  auto widget = Make({{"bg", "main:kb_bg"},
                      {"chking", "main:kb_hover"},
                      {"chked", "main:kb_checked"},
                      {"crdxml", "kb/keys.xml"},
                      {"type", type}});
  widget->resize(40, 20);
  widget->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
  return widget;
}

}  // namespace keyloom::widgets::test
