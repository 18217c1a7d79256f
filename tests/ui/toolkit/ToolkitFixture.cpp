#include "ui/toolkit/ToolkitFixture.h"

#include <QBuffer>
#include <QImage>

namespace keyloom::ui::test {
namespace {

// A 3-state strip, 2x1 pixels a state: red, green, blue.
std::string ThreeStateStrip() {
  QImage image(6, 1, QImage::Format_RGB32);
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
  for (int x = 0; x < 6; ++x) image.setPixel(x, 0, colours[x / 2]);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

}  // namespace

ToolkitFixture::ToolkitFixture() {
  previousSink_ = SetToolkitLogSink([this](const std::string& line) { log_.push_back(line); });
  dir_.Write("uires/uires.idx", R"(<resource>
  <UIDEF><file name="XML_INIT" path="values/init.xml"/></UIDEF>
  <values>
    <file name="string" path="values/string.xml"/>
    <file name="color" path="values/color.xml"/>
    <file name="skin" path="values/skin.xml"/>
  </values>
  <layout><file name="xml_test" path="layout/test.xml"/></layout>
  <translator>
    <file name="lang_cn" path="translation/lang_cn.xml"/>
    <file name="lang_en" path="translation/lang_en.xml"/>
  </translator>
  <img><file name="strip" path="image/strip.png"/></img>
</resource>)");
  dir_.Write("uires/values/init.xml",
             R"(<uidef><string src="values:string"/><color src="values:color"/><skin src="values:skin"/></uidef>)");
  dir_.Write("uires/values/string.xml",
             R"(<string><item name="instance" value="test-instance"/><item name="title" value="Hello"/></string>)");
  dir_.Write("uires/values/color.xml", R"(<color><item name="accent" value="#102030"/></color>)");
  dir_.Write("uires/values/skin.xml", R"(<skin><imglist name="strip" src="img:strip" states="3"/></skin>)");
  dir_.Write("uires/image/strip.png", ThreeStateStrip());
  dir_.Write("uires/layout/test.xml", R"(<layout width="400" height="300" title="Settings">
  <caption name="caption" pos="0,0" size="0,40">
    <text name="title" pos="10,5" size="200,30">@string/title</text>
    <imgbtn name="btn_close" pos="-30,0" size="30,30" skin="strip"/>
  </caption>
  <window name="body" pos="10,50" size="-10,-10" colorBkgnd="@color/accent">
    <button name="ok" ID="7" pos="0,0" size="80,24">OK</button>
    <text name="hint" pos="0,30" size="200,20" text="Minimize"/>
  </window>
</layout>)");
  dir_.Write("uires/translation/lang_cn.xml",
             R"(<language name="cn"><item src="Minimize" tr="最小化"/><item src="Settings" tr="设置"/></language>)");
  dir_.Write("uires/translation/lang_en.xml", R"(<language name="en"><item src="Minimize" tr="Hide"/></language>)");
  app_.names().Register({{"_name_start", 65535}, {"title", 65536}, {"btn_close", 65539}});
  app_.Initialize(QString::fromStdString(dir_.File("uires")), "uidef:xml_init");
}

ToolkitFixture::~ToolkitFixture() { SetToolkitLogSink(previousSink_); }

void ToolkitFixture::AddLayout(const std::string& name, const std::string& xml) {
  const std::string index = dir_.Read("uires/uires.idx");
  const std::string entry = "<layout><file name=\"" + name + "\" path=\"layout/" + name + ".xml\"/>";
  std::string updated = index;
  updated.replace(updated.find("<layout>"), 8, entry);
  dir_.Write("uires/uires.idx", updated);
  dir_.Write("uires/layout/" + name + ".xml", xml);
  app_.resources().Open(QString::fromStdString(dir_.File("uires")));
}

}  // namespace keyloom::ui::test

namespace keyloom::ui::test {

void ToolkitFixture::AddResource(const std::string& type, const std::string& name, const std::string& path,
                                 const std::string& content) {
  std::string index = dir_.Read("uires/uires.idx");
  const std::string entry = "<" + type + "><file name=\"" + name + "\" path=\"" + path + "\"/></" + type + ">";
  index.insert(index.rfind("</resource>"), entry);
  dir_.Write("uires/uires.idx", index);
  dir_.Write("uires/" + path, content);
  app_.resources().Open(QString::fromStdString(dir_.File("uires")));
}

}  // namespace keyloom::ui::test
