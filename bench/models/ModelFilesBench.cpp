// Load and save of the largest files a user is likely to have: a macro
// library of 1,000 groups of 100 steps, and 110 key records of 200 steps.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "lighting/LightingEffectSettings.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"

namespace keyloom {
namespace {

// A folder of its own for the files, removed when the benchmark ends.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keyloom-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};
const BenchFolder folder;

std::vector<MacroStep> Steps(int count) {
  std::vector<MacroStep> steps;
  for (int i = 0; i < count; ++i) steps.push_back({static_cast<uint32_t>(65 + i % 26), static_cast<uint32_t>(i % 2), 37, L"Key"});
  return steps;
}

MacroLibrary& BigLibrary() {
  static MacroLibrary* library = [] {
    auto* l = new MacroLibrary();
    l->Load(folder.File("macro.xml"));
    for (int g = 0; g < 1000; ++g) l->groups.push_back({L"Group " + std::to_wstring(g), Steps(100)});
    l->Save();
    return l;
  }();
  return *library;
}

KeyRecordList& BigRecords() {
  static KeyRecordList* list = [] {
    auto* l = new KeyRecordList();
    l->Load(folder.File("record.xml"));
    for (int r = 0; r < 110; ++r) l->records.push_back({r + 1, 0, 1, 0, L"Key", L"Group", Steps(200)});
    l->Save();
    return l;
  }();
  return *list;
}

void BM_MacroLibrarySave(benchmark::State& state) {
  MacroLibrary& library = BigLibrary();
  for (auto _ : state) benchmark::DoNotOptimize(library.Save());
}
BENCHMARK(BM_MacroLibrarySave)->Unit(benchmark::kMillisecond);

void BM_MacroLibraryLoad(benchmark::State& state) {
  const std::string path = BigLibrary().Path();
  MacroLibrary library;
  for (auto _ : state) benchmark::DoNotOptimize(library.Load(path));
  if (library.GroupCount() != 1000) state.SkipWithError("library did not load whole");
}
BENCHMARK(BM_MacroLibraryLoad)->Unit(benchmark::kMillisecond);

void BM_KeyRecordListSave(benchmark::State& state) {
  KeyRecordList& list = BigRecords();
  for (auto _ : state) benchmark::DoNotOptimize(list.Save());
}
BENCHMARK(BM_KeyRecordListSave)->Unit(benchmark::kMillisecond);

void BM_KeyRecordListLoad(benchmark::State& state) {
  const std::string path = BigRecords().Path();
  KeyRecordList list;
  for (auto _ : state) benchmark::DoNotOptimize(list.Load(path));
  if (list.records.size() != 110) state.SkipWithError("records did not load whole");
}
BENCHMARK(BM_KeyRecordListLoad)->Unit(benchmark::kMillisecond);

void BM_LightingEffectSettingsSetCurrent(benchmark::State& state) {
  LightingEffectSettings settings;
  settings.Load(folder.File("ledeffect.xml"));
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(settings.SetCurrent(i++ % 22));
}
BENCHMARK(BM_LightingEffectSettingsSetCurrent)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keyloom
