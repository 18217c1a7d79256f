#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SText.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

class Translation : public ToolkitFixture {
 protected:
  Translation() : host_(app_) { host_.CreateFromLayout("LAYOUT:XML_TEST"); }
  QString Shown(const char* name) { return host_.FindChildByName2<SText>(name)->GetDisplayText(); }
  SHostWnd host_;
};

TEST_F(Translation, WithoutALanguageTextsShowAsWritten) {
  EXPECT_EQ(Shown("hint"), "Minimize");
  EXPECT_EQ(host_.windowTitle(), "Settings");
}

TEST_F(Translation, MissingTranslatorDocumentInstallsNothing) {
  EXPECT_FALSE(app_.translator().LoadAndInstall(app_.resources(), "lang_jp"));
  EXPECT_EQ(app_.translator().current(), nullptr);
  EXPECT_EQ(Shown("hint"), "Minimize");
}

TEST_F(Translation, InstallingAndSwitchingRetranslatesShownTexts) {
  ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), "LANG_CN"));
  EXPECT_EQ(app_.translator().current()->name(), "cn");
  EXPECT_EQ(Shown("hint"), QString::fromUtf8("最小化"));
  EXPECT_EQ(host_.windowTitle(), QString::fromUtf8("设置"));
  EXPECT_EQ(Shown("title"), "Hello");  // no entry for it: shows as written

  ASSERT_TRUE(app_.translator().LoadAndInstall(app_.resources(), "lang_en"));
  EXPECT_EQ(Shown("hint"), "Hide");
  EXPECT_EQ(host_.windowTitle(), "Settings");
}

TEST_F(Translation, LanguageChangeReachesEveryWidget) {
  struct Counting : SText {
    using SText::SText;
    void OnLanguageChanged() override { ++count; }
    int count = 0;
  };
  auto* counting = new Counting(app_, host_.root());
  app_.translator().LoadAndInstall(app_.resources(), "lang_cn");
  app_.translator().LoadAndInstall(app_.resources(), "lang_en");
  EXPECT_EQ(counting->count, 2);
}

}  // namespace
}  // namespace keyloom::ui::test
