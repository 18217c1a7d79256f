#include "lighting/SideLightSettings.h"

#include "config/XmlLookup.h"

namespace keyloom {

SideLightSettings& SideLightSettings::Instance() {
  static auto* settings = new SideLightSettings();
  return *settings;
}

SideLightSettings::SideLightSettings() { ApplyDefaults(); }

void SideLightSettings::ApplyDefaults() {
  for (int i = 0; i < kEntryCount; ++i) {
    SideModeEntry& entry = entries_[i];
    entry.SetLevel(i < 3 ? 4 : 7);
    entry.byte1 = static_cast<uint8_t>((entry.byte1 & 0xF0) | 0x01);
  }
  current_ = 0;
}

bool SideLightSettings::Load(const std::string& path) {
  if (path.empty()) return false;
  pugi::xml_document doc;
  if (!file_.Load(path, doc)) {
    ResetDefaults();
    return false;
  }
  ReadDocument(doc);
  return true;
}

void SideLightSettings::ReadDocument(const pugi::xml_document& doc) {
  const pugi::xml_node root = ChildNoCase(doc, "effect");
  const uint32_t sel = AttributeNumber(root, "sel");  // unsigned: -1 is out of range
  current_ = sel <= kEntryCount ? static_cast<int32_t>(sel) : 0;
  int index = 0;
  for (pugi::xml_node child = root.first_child(); child && index < kEntryCount; child = child.next_sibling()) {
    // Only the low four bits count; 8..15 there is no level and reads as 0.
    const uint8_t level = AttributeNumber(child, "brightness") & 0x0F;
    entries_[index++].SetLevel(level > 7 ? 0 : level);
  }
}

bool SideLightSettings::Save() {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("effect");
  root.append_attribute("sel").set_value(current_);
  for (const SideModeEntry& entry : entries_) {
    root.append_child("item").append_attribute("brightness").set_value(static_cast<unsigned>(entry.Level()));
  }
  return file_.Save(doc);
}

SideModeEntry* SideLightSettings::GetEntry(int index) {
  const int resolved = index == -1 ? current_ : index;
  return resolved >= 0 && resolved < kEntryCount ? &entries_[resolved] : nullptr;
}

const SideModeEntry* SideLightSettings::GetEntry(int index) const {
  return const_cast<SideLightSettings*>(this)->GetEntry(index);
}

bool SideLightSettings::SetCurrent(int32_t index) {
  current_ = index;
  return Save();
}

bool SideLightSettings::ResetDefaults() {
  ApplyDefaults();
  return Save();
}

}  // namespace keyloom
