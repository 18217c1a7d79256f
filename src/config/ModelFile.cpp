#include "config/ModelFile.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "config/CNumber.h"
#include "config/XmlLookup.h"
#include "platform/AtomicFileWriter.h"

namespace keyloom {
namespace {

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadWhole(const std::string& path, std::string& bytes) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return ReadResult::Missing;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return ReadResult::Failed;
  const std::streamoff size = in.tellg();
  if (size < 0 || !in.seekg(0)) return ReadResult::Failed;
  bytes.resize(static_cast<size_t>(size));
  in.read(bytes.data(), size);
  // The file may have shrunk since it was measured; keep what was there.
  bytes.resize(static_cast<size_t>(in.gcount()));
  return in.bad() ? ReadResult::Failed : ReadResult::Read;
}

bool OnlyBlanks(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

// "20261210-151033": sorts by time and is safe in every file system's names.
std::string UtcStamp() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
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

// A name beside `path` that no earlier backup uses.
std::string FreeBackupName(const std::string& path) {
  const std::string base = path + ".bad-" + UtcStamp();
  std::string name = base;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(name, ec) && n < 1000; ++n) name = base + "-" + std::to_string(n);
  return name;
}

}  // namespace

bool ModelFile::Load(const std::string& path, pugi::xml_document& doc, EmptyDocument empty) {
  path_ = path;
  backupPending_ = false;
  doc.reset();

  std::string bytes;
  const ReadResult read = ReadWhole(path, bytes);
  if (read == ReadResult::Missing) return false;
  if (read == ReadResult::Failed) {
    backupPending_ = true;
    return false;
  }

  // An empty or blank file holds nothing worth keeping or reading.
  const bool blank = OnlyBlanks(bytes);
  const pugi::xml_parse_result parsed =
      doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
  if (parsed) return true;
  // pugixml reports a document without elements as an error; a file holding
  // just the declaration is what an empty list is saved as, though.
  if (parsed.status == pugi::status_no_document_element && empty == EmptyDocument::Valid && !blank) return true;
  doc.reset();
  backupPending_ = !blank;
  return false;
}

bool ModelFile::KeepDamagedFile() {
  std::string bytes;
  switch (ReadWhole(path_, bytes)) {
    case ReadResult::Missing:
      return true;  // gone meanwhile: nothing left to keep
    case ReadResult::Failed:
      return false;  // never replace what could not be kept
    case ReadResult::Read:
      break;
  }
  return platform::AtomicFileWriter().Write(FreeBackupName(path_), bytes);
}

bool ModelFile::Save(const pugi::xml_document& doc) {
  if (path_.empty()) return false;
  if (backupPending_) {
    if (!KeepDamagedFile()) return false;
    backupPending_ = false;
  }
  // Reserving the last save's size spares a large file most of its regrowth.
  std::string bytes = SerializeModelDocument(doc, lastSize_ + lastSize_ / 8);
  lastSize_ = bytes.size();
  return (writer_ != nullptr ? *writer_ : platform::AtomicFileWriter()).Write(path_, bytes);
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
