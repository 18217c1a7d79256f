#include "macros/KeyRecordList.h"

#include <algorithm>

#include "config/XmlLookup.h"
#include "macros/StepXml.h"

namespace keyloom {

KeyRecordList& KeyRecordList::Instance() {
  static auto* list = new KeyRecordList();
  return *list;
}

bool KeyRecordList::Load(const std::string& path) {
  if (path.empty()) return false;
  pugi::xml_document doc;
  // An empty list is saved as the declaration alone.
  if (!file_.Load(path, doc, ModelFile::EmptyDocument::Valid)) return false;

  records.clear();
  // Every top-level node is a record, whatever its name.
  for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
    KeyRecord record;
    record.steps = ReadSteps(node);
    record.code = static_cast<int32_t>(AttributeNumber(node, "code"));
    record.type = static_cast<int32_t>(AttributeNumber(node, "type"));
    record.repeat = static_cast<int32_t>(AttributeNumber(node, "repeat"));
    record.name = Widen(AttributeText(node, "name"));
    record.group = Widen(AttributeText(node, "group"));
    record.mode = static_cast<int32_t>(AttributeNumber(node, "mode"));
    records.push_back(std::move(record));
  }
  return true;
}

bool KeyRecordList::Save() {
  pugi::xml_document doc;
  for (const KeyRecord& record : records) {
    pugi::xml_node node = doc.append_child("record");
    node.append_attribute("code").set_value(record.code);
    node.append_attribute("type").set_value(record.type);
    node.append_attribute("repeat").set_value(record.repeat);
    node.append_attribute("name").set_value(Narrow(record.name).c_str());
    node.append_attribute("group").set_value(Narrow(record.group).c_str());
    node.append_attribute("mode").set_value(record.mode);
    WriteSteps(node, record.steps);
  }
  return file_.Save(doc);
}

void KeyRecordList::AddOrReplace(const KeyRecord& record) {
  const auto same = std::find_if(records.begin(), records.end(), [&](const KeyRecord& r) { return r.code == record.code; });
  if (same != records.end()) {
    *same = record;
    return;
  }
  records.push_back(record);
  Save();
}

bool KeyRecordList::Remove(int32_t code) {
  const auto same = std::find_if(records.begin(), records.end(), [&](const KeyRecord& r) { return r.code == code; });
  if (same == records.end()) return false;
  records.erase(same);
  return true;
}

}  // namespace keyloom
