// Every model file is replaced atomically, and a damaged file is kept aside
// before the first save replaces it. One table runs the same rules over all
// four models.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"
#include "platform/AtomicFileWriter.h"
#include "support/TempDir.h"

namespace keyloom {
namespace {

// One model behind the three things these rules need of it.
class AnyModel {
 public:
  virtual ~AnyModel() = default;
  virtual bool Load(const std::string& path) = 0;
  virtual bool Save() = 0;
  // Changes the model in memory (a later Save writes something different).
  virtual void Change() = 0;
};

template <class Model>
class ModelOf : public AnyModel {
 public:
  explicit ModelOf(std::function<void(Model&)> change) : change_(std::move(change)) {}
  bool Load(const std::string& path) override { return model_.Load(path); }
  bool Save() override { return model_.Save(); }
  void Change() override { change_(model_); }

 private:
  Model model_;
  std::function<void(Model&)> change_;
};

struct ModelCase {
  const char* name;
  const char* file;
  std::function<std::unique_ptr<AnyModel>()> make;
};
std::ostream& operator<<(std::ostream& out, const ModelCase& c) { return out << c.name; }

std::vector<std::string> FolderNames(const test::TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class ModelFileSafety : public ::testing::TestWithParam<ModelCase> {
 protected:
  std::string File() const { return dir.File(GetParam().file); }
  std::vector<std::string> Backups() const {
    std::vector<std::string> backups;
    for (const std::string& name : FolderNames(dir))
      if (name.starts_with(std::string(GetParam().file) + ".bad-")) backups.push_back(name);
    return backups;
  }

  test::TempDir dir;
  std::unique_ptr<AnyModel> model = GetParam().make();
};

TEST_P(ModelFileSafety, WriteFailingMidway_ShouldLeaveThePreviousFileWhole) {
  model->Load(File());
  ASSERT_TRUE(model->Save());
  const std::string before = dir.Read(GetParam().file);

  model->Change();
  {
    const auto failing = platform::MakeAtomicFileWriter({.failAfterBytes = 20});
    platform::ScopedAtomicFileWriter scope(*failing);
    EXPECT_FALSE(model->Save());
  }
  EXPECT_EQ(dir.Read(GetParam().file), before);
  EXPECT_EQ(FolderNames(dir), std::vector<std::string>{GetParam().file}) << "no temporary file is left behind";

  EXPECT_TRUE(model->Save());
  EXPECT_NE(dir.Read(GetParam().file), before);
  EXPECT_TRUE(GetParam().make()->Load(File()));
}

TEST_P(ModelFileSafety, MalformedFile_ShouldBeKeptAsideOnce_BeforeItIsReplaced) {
  const std::string damaged = "<effect sel=\"3\"><record code=\"1\"><macro><group name=\"mine\">";
  dir.Write(GetParam().file, damaged);
  EXPECT_FALSE(model->Load(File()));
  model->Change();
  EXPECT_TRUE(model->Save());
  EXPECT_TRUE(model->Save());

  const std::vector<std::string> backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(dir.Read(backups[0]), damaged);
  EXPECT_TRUE(GetParam().make()->Load(File())) << "the replacement is well-formed";
}

TEST_P(ModelFileSafety, BackupThatCannotBeWritten_ShouldStopTheSave_AndKeepTheDamagedFile) {
  const std::string damaged = "<not closed";
  dir.Write(GetParam().file, damaged);
  {
    const auto failing = platform::MakeAtomicFileWriter({.failAfterBytes = 0});
    platform::ScopedAtomicFileWriter scope(*failing);
    model->Load(File());
    model->Change();
    EXPECT_FALSE(model->Save());
  }
  EXPECT_EQ(dir.Read(GetParam().file), damaged);
  EXPECT_TRUE(model->Save());
  EXPECT_EQ(Backups().size(), 1u);
}

TEST_P(ModelFileSafety, MissingFile_ShouldNotBeBackedUp) {
  model->Load(File());
  model->Change();
  EXPECT_TRUE(model->Save());
  EXPECT_TRUE(Backups().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Models, ModelFileSafety,
    ::testing::Values(
        ModelCase{"LightingEffectSettings", "ledeffect.xml",
                  [] {
                    return std::make_unique<ModelOf<LightingEffectSettings>>(
                        [](LightingEffectSettings& m) { m.GetEntry(0)->brightness = 2; });
                  }},
        ModelCase{"SideLightSettings", "sidemodel.xml",
                  [] {
                    return std::make_unique<ModelOf<SideLightSettings>>(
                        [](SideLightSettings& m) { m.GetEntry(0)->SetLevel(1); });
                  }},
        ModelCase{"MacroLibrary", "macro.xml",
                  [] {
                    return std::make_unique<ModelOf<MacroLibrary>>(
                        [](MacroLibrary& m) { m.groups.push_back({L"new", {{65, 0, 10, L"A"}}}); });
                  }},
        ModelCase{"KeyRecordList", "record.xml",
                  [] {
                    return std::make_unique<ModelOf<KeyRecordList>>(
                        [](KeyRecordList& m) { m.records.push_back({269, 0, 1, 0, L"Enter", L"g", {}}); });
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom
