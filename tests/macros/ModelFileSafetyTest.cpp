// Every model file is replaced atomically, and a damaged file is kept aside
// before the first save replaces it. One table runs the same rules over all
// four models.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "lighting/LightingEffectSettings.h"
#include "lighting/SideLightSettings.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"
#include "config/ModelFile.h"
#include "config/SaveFailureLog.h"
#include "platform/AtomicFileWriter.h"
#include "platform/DataFileReader.h"
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

// Saves that fail as a full disk would, while new files (backups) still fit.
class FullForReplacements : public platform::IAtomicFileWriter {
 public:
  bool Write(const std::string&, std::string_view) override {
    platform::SetLastFileStatus(platform::FileStatus::FromErrno(ENOSPC));
    return false;
  }
  bool CreateNew(const std::string& path, std::string_view bytes) override { return system_->CreateNew(path, bytes); }

 private:
  std::unique_ptr<platform::IAtomicFileWriter> system_ = platform::MakeAtomicFileWriter();
};

// A folder, a pipe or a huge file at a data file's name is neither read nor
// copied nor replaced; the model runs on its defaults and saves fail.
TEST_P(ModelFileSafety, ForeignThingInPlace_ShouldBeLeftAlone) {
  struct Thing {
    const char* name;
    std::function<void(const std::string&)> make;
    std::function<bool(const std::string&)> stillThere;
  };
  const std::vector<Thing> things = {
      {"folder", [](const std::string& p) { std::filesystem::create_directory(p); },
       [](const std::string& p) { return std::filesystem::is_directory(p); }},
      {"pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); },
       [](const std::string& p) { return std::filesystem::is_fifo(p); }},
      {"huge file",
       [](const std::string& p) {
         std::ofstream(p) << "<effect sel=\"3\">";
         std::filesystem::resize_file(p, platform::kDataFileSizeLimit + 1);
       },
       [](const std::string& p) { return std::filesystem::file_size(p) == platform::kDataFileSizeLimit + 1; }},
  };
  for (const Thing& thing : things) {
    SCOPED_TRACE(thing.name);
    test::TempDir folder;
    const std::string path = folder.File(GetParam().file);
    thing.make(path);
    SaveFailureLog log;
    const ScopedSaveFailureLog scope(log);
    std::unique_ptr<AnyModel> fresh = GetParam().make();
    EXPECT_FALSE(fresh->Load(path));
    fresh->Change();
    EXPECT_FALSE(fresh->Save());
    EXPECT_TRUE(thing.stillThere(path));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{GetParam().file}) << "no backup, no temporary file";
    ASSERT_EQ(log.Reported().size(), 1u);
    EXPECT_FALSE(log.Reported()[0].status.ok());
  }
}

// A NUL byte ends the parse early while the part before still counts as a
// document (a zero-filled tail after a crash): the whole file is damaged and
// kept aside before the next save replaces it.
TEST_P(ModelFileSafety, FileWithANulInside_ShouldBeKeptAsideWhole_BeforeItIsReplaced) {
  model->Load(File());
  model->Change();
  ASSERT_TRUE(model->Save());
  const std::string damaged = dir.Read(GetParam().file) + std::string(64, '\0') + "<record code=\"9\"/><macro/>";
  dir.Write(GetParam().file, damaged);

  std::unique_ptr<AnyModel> next = GetParam().make();
  EXPECT_TRUE(next->Load(File())) << "what comes before the NUL is used";
  next->Change();
  EXPECT_TRUE(next->Save());
  const std::vector<std::string> backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(dir.Read(backups[0]), damaged);
}

// The copy fits but the replacement does not: every later start finds the
// same damage, which is already kept, and copies it no more.
TEST_P(ModelFileSafety, DamageKeptByAnEarlierRun_ShouldNotBeCopiedAgain) {
  const std::string damaged = "<not closed";
  dir.Write(GetParam().file, damaged);
  FullForReplacements full;
  const platform::ScopedAtomicFileWriter scope(full);
  for (int run = 0; run < 3; ++run) {
    std::unique_ptr<AnyModel> fresh = GetParam().make();
    fresh->Load(File());
    fresh->Change();
    EXPECT_FALSE(fresh->Save());
  }
  const std::vector<std::string> backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(dir.Read(backups[0]), damaged);
  EXPECT_EQ(dir.Read(GetParam().file), damaged);
}

TEST_P(ModelFileSafety, EarlierBackups_ShouldNeverBeOverwritten_HoweverManyShareTheSecond) {
  const std::string damaged = "<not closed";
  dir.Write(GetParam().file, damaged);
  // Every name this second and the next could give, up to a thousand each.
  const auto now = std::chrono::system_clock::now();
  std::vector<std::string> older;
  for (const auto when : {now, now + std::chrono::seconds(1)}) {
    const std::string base = std::string(GetParam().file) + ".bad-" + BackupStamp(when);
    for (int n = 1; n <= 1000; ++n) {
      older.push_back(n == 1 ? base : base + "-" + std::to_string(n));
      dir.Write(older.back(), "older");
    }
  }
  model->Load(File());
  model->Change();
  model->Save();
  for (const std::string& name : older) ASSERT_EQ(dir.Read(name), "older") << name;
}

TEST_P(ModelFileSafety, FailedSave_ShouldBeReportedOncePerFile_WithItsReason) {
  SaveFailureLog log;
  const ScopedSaveFailureLog logScope(log);
  FullForReplacements full;
  const platform::ScopedAtomicFileWriter scope(full);
  model->Load(File());
  model->Change();
  EXPECT_FALSE(model->Save());
  EXPECT_FALSE(model->Save());
  ASSERT_EQ(log.Reported().size(), 1u);
  EXPECT_EQ(log.Reported()[0].path, File());
  EXPECT_EQ(log.Reported()[0].status.fault, platform::FileFault::DiskFull);
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
