#pragma once

// Shared by the harnesses: a private scratch folder for the files a model
// reads and writes, and the round-trip property every data file must keep.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace keyloom::fuzz {

// A folder of this process's own, on tmpfs when there is one: every save
// syncs, and the harness saves four times per input.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::exists("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::filesystem::path made = base / ("keyloom-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(made, ec);
    std::atexit([] { std::error_code ignored; std::filesystem::remove_all(ScratchFolder(), ignored); });
    return made;
  }();
  return folder;
}

// Empties the scratch folder, so backups of damaged inputs never pile up.
inline void ClearScratch() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder(), ec)) {
    std::filesystem::remove_all(entry.path(), ec);
  }
}

inline std::string WriteScratch(const char* name, const uint8_t* data, size_t size) {
  const std::string path = (ScratchFolder() / name).string();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
  return path;
}

inline std::string ReadScratch(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] inline void Fail(const char* what, const std::string& first, const std::string& second) {
  std::fprintf(stderr, "keyloom fuzz: %s\n--- first ---\n%s\n--- second ---\n%s\n", what, first.c_str(),
               second.c_str());
  std::abort();
}

// load → save → load → save must write the same bytes twice: whatever a
// model makes of a file, what it saves must read back as the same model.
// `Model` needs Load(path) and Save().
template <typename Model>
void CheckRoundTrip(const uint8_t* data, size_t size, const char* name) {
  ClearScratch();
  const std::string path = WriteScratch(name, data, size);
  std::string first;
  {
    Model model;
    model.Load(path);
    if (!model.Save()) Fail("the first save failed", path, "");
    first = ReadScratch(path);
  }
  Model again;
  if (!again.Load(path)) Fail("a saved file does not load", first, "");
  if (!again.Save()) Fail("the second save failed", first, "");
  const std::string second = ReadScratch(path);
  if (first != second) Fail("load-save-load-save changed the file", first, second);
}

}  // namespace keyloom::fuzz
