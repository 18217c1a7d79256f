#include "config/ModelFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "config/CNumber.h"
#include "config/XmlLookup.h"
#include "config/SaveFailureLog.h"
#include "platform/AtomicFileWriter.h"
#include "platform/DataFileReader.h"

namespace keyloom {
namespace {

bool OnlyBlanks(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

}  // namespace

std::string BackupStamp(std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto now = floor<seconds>(when);
  const auto day = floor<days>(now);
  const year_month_day date{day};
  const hh_mm_ss time{now - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text;
}

namespace {

// True when a file beside `path` named "<name>.bad-…" holds exactly `bytes`:
// the damage was kept aside already (by an earlier run whose save failed,
// say) and needs no second copy.
bool BackupExists(const std::string& path, const std::string& bytes) {
  namespace fs = std::filesystem;
  const fs::path file(path);
  const std::string prefix = file.filename().string() + ".bad-";
  std::error_code ec;
  fs::directory_iterator entries(file.parent_path().empty() ? fs::path(".") : file.parent_path(), ec);
  for (; !ec && entries != fs::directory_iterator(); entries.increment(ec)) {
    const fs::directory_entry& entry = *entries;
    if (!entry.path().filename().string().starts_with(prefix)) continue;
    std::error_code ignored;
    if (!entry.is_regular_file(ignored) || entry.file_size(ignored) != bytes.size()) continue;
    std::string kept;
    if (platform::ReadDataFile(entry.path().string(), kept).ok() && kept == bytes) return true;
  }
  return false;
}

void SayOnce(const std::string& line) { std::fprintf(stderr, "keyloom: %s\n", line.c_str()); }

}  // namespace

bool ModelFile::Load(const std::string& path, pugi::xml_document& doc, EmptyDocument empty) {
  path_ = path;
  backupPending_ = false;
  leftAlone_ = {};
  doc.reset();
  // Whatever an earlier run left half-written is of no use to anyone.
  platform::RemoveStaleTemporaries(path);

  std::string bytes;
  const platform::FileStatus read = platform::ReadDataFile(path, bytes);
  if (read.fault == platform::FileFault::Missing) return false;
  if (read.fault == platform::FileFault::NotRegular || read.fault == platform::FileFault::TooLarge) {
    // Not a settings file anyone meant: neither read, copied nor replaced.
    leftAlone_ = read;
    SayOnce(path + " is " + platform::Describe(read) + "; left alone, running with defaults");
    return false;
  }
  if (!read.ok()) {
    backupPending_ = true;
    return false;
  }

  // An empty or blank file holds nothing worth keeping or reading.
  const bool blank = OnlyBlanks(bytes);
  const pugi::xml_parse_result parsed =
      doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
  // The parser ends at a NUL byte and calls what came before a whole
  // document; files without a common root (macro.xml, record.xml) then look
  // fine with their tail missing. XML holds no NUL, so the file is damaged
  // (a zero-filled tail after a crash, typically): what came before is
  // used, and the whole file is kept aside before the next save.
  const size_t nul = bytes.find('\0');
  const bool cutShort = nul != std::string::npos;
  // pugixml reports a document without elements as an error; a file holding
  // just the declaration is what an empty list is saved as, though.
  const bool readable =
      parsed || (parsed.status == pugi::status_no_document_element && empty == EmptyDocument::Valid && !blank);
  if (readable && cutShort) {
    backupPending_ = true;
    SayOnce(path + " is damaged at byte " + std::to_string(nul) +
            "; using what comes before, the whole file is kept as " + path + ".bad-<time> at the next save");
    return true;
  }
  if (readable) return true;
  doc.reset();
  backupPending_ = !blank;
  return false;
}

bool ModelFile::KeepDamagedFile() {
  std::string bytes;
  const platform::FileStatus read = platform::ReadDataFile(path_, bytes);
  if (read.fault == platform::FileFault::Missing) return true;  // gone meanwhile: nothing left to keep
  if (!read.ok()) return false;                                  // never replace what could not be kept
  if (BackupExists(path_, bytes)) return true;

  // Created, never replaced: an older backup under the same name stays.
  platform::IAtomicFileWriter& writer = platform::AtomicFileWriter();
  const std::string base = path_ + ".bad-" + BackupStamp(std::chrono::system_clock::now());
  for (int n = 1; n < 10000; ++n) {
    if (writer.CreateNew(n == 1 ? base : base + "-" + std::to_string(n), bytes)) return true;
    if (platform::LastFileStatus().error != EEXIST) return false;
  }
  return false;
}

bool ModelFile::Save(const pugi::xml_document& doc) {
  if (path_.empty()) return false;
  if (!leftAlone_.ok()) {
    SaveFailures().Report(path_, leftAlone_);
    return false;
  }
  if (backupPending_) {
    if (!KeepDamagedFile()) {
      SaveFailures().Report(path_, platform::LastFileStatus());
      return false;
    }
    backupPending_ = false;
  }
  // Reserving the last save's size spares a large file most of its regrowth.
  std::string bytes = SerializeModelDocument(doc, lastSize_ + lastSize_ / 8);
  lastSize_ = bytes.size();
  if ((writer_ != nullptr ? *writer_ : platform::AtomicFileWriter()).Write(path_, bytes)) return true;
  SaveFailures().Report(path_, platform::LastFileStatus());
  return false;
}

uint32_t AttributeNumber(const pugi::xml_node& node, std::string_view name, uint32_t missing) {
  const pugi::xml_attribute attribute = AttributeNoCase(node, name);
  return attribute ? CULong32(attribute.value(), 10) : missing;
}

std::string SerializeModelDocument(const pugi::xml_document& doc, size_t expectedSize) {
  struct StringWriter final : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
  } writer;
  writer.text.reserve(expectedSize);
  doc.save(writer, "\t", pugi::format_indent, pugi::encoding_utf8);
  return std::move(writer.text);
}

}  // namespace keyloom
