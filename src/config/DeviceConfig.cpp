#include "config/DeviceConfig.h"

#include <pugixml.hpp>
#include <cstdio>

#include "config/CNumber.h"
#include "config/XmlLookup.h"
#include "platform/DataFileReader.h"

namespace keyloom {
namespace {

// Splits like wcstok: runs of delimiters are one cut, empty pieces vanish.
std::vector<std::string_view> Tokens(std::string_view text, char delimiter) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == delimiter) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != delimiter) ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

void ReadUsb(const pugi::xml_node& usb, DeviceConfig& config) {
  config.vid = CLong32(AttributeText(usb, "vid"), 16);
  config.pid = CLong32(AttributeText(usb, "pid"), 16);
  config.interface = CLong32(AttributeText(usb, "interface"), 16);
  config.subdevice = CLong32(AttributeText(usb, "subdevice"), 16);
}

void ReadFunctionKeys(const pugi::xml_node& funkey, DeviceConfig& config) {
  for (pugi::xml_node child = funkey.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    FunctionKeyAction action;
    action.name = Widen(AttributeText(child, "name"));
    if (action.name.empty()) continue;
    action.path = Widen(AttributeText(child, "path"));
    action.argm = Widen(AttributeText(child, "argm"));
    action.code = CULong32(AttributeText(child, "code"), 10);
    config.functionKeys.push_back(std::move(action));
  }
}

void ReadCombinations(const pugi::xml_node& combkey, DeviceConfig& config) {
  // Every child node counts, text included: a text node has no attributes
  // and so becomes a combination with an empty name and no steps.
  for (pugi::xml_node child = combkey.first_child(); child; child = child.next_sibling()) {
    KeyCombination combination;
    combination.name = Widen(AttributeText(child, "name"));
    combination.steps = ParseCombinationCode(AttributeText(child, "code"));
    config.combinations.push_back(std::move(combination));
  }
}

}  // namespace

DeviceConfig& DeviceConfig::Instance() {
  static DeviceConfig* instance = new DeviceConfig;  // lives until the process ends
  return *instance;
}

std::vector<std::pair<int32_t, int32_t>> ParseCombinationCode(std::string_view code) {
  std::string compact;
  for (char c : code) {
    if (c != ' ') compact.push_back(c);
  }
  std::vector<std::pair<int32_t, int32_t>> steps;
  for (std::string_view item : Tokens(compact, ',')) {
    const std::vector<std::string_view> parts = Tokens(item, ':');
    if (parts.empty()) continue;
    const int32_t first = CLong32(parts[0], 10);
    const int32_t second = parts.size() > 1 ? CLong32(parts[1], 10) : 0;
    steps.emplace_back(first, second);
  }
  return steps;
}

void DeviceConfig::Load(const std::string& path) {
  // Read only a regular file of sane size: a folder, a pipe or a device in
  // its place must neither hang nor abort start-up. keyloom never writes
  // config.xml, so whatever is there is left as it is.
  std::string bytes;
  const platform::FileStatus read = platform::ReadDataFile(path, bytes);
  if (!read.ok()) {
    if (read.fault != platform::FileFault::Missing) {
      std::fprintf(stderr, "keyloom: %s is %s; left alone, running with defaults\n", path.c_str(),
                   platform::Describe(read).c_str());
    }
    return;
  }
  pugi::xml_document doc;
  if (!doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto)) return;

  if (pugi::xml_node local = ChildNoCase(doc, "local")) {
    chinese = AttributeText(local, "language") == "cn";
  }
  if (pugi::xml_node usb = ChildNoCase(doc, "usb")) ReadUsb(usb, *this);
  if (pugi::xml_node funkey = ChildNoCase(doc, "funkey")) ReadFunctionKeys(funkey, *this);
  if (pugi::xml_node combkey = ChildNoCase(doc, "combkey")) ReadCombinations(combkey, *this);
}

}  // namespace keyloom
