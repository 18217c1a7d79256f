#include "lighting/LightingEffectSettings.h"

#include "config/XmlLookup.h"

namespace keyloom {
namespace {

// Out-of-range bytes from the file are corrected, not reported.
EffectEntry ReadEntry(const pugi::xml_node& item) {
  EffectEntry entry;
  entry.speed = static_cast<uint8_t>(AttributeNumber(item, "speed"));
  entry.brightness = static_cast<uint8_t>(AttributeNumber(item, "brightness"));
  entry.direction = static_cast<uint8_t>(AttributeNumber(item, "deriction"));
  entry.selection = static_cast<uint8_t>(AttributeNumber(item, "selection", 1));
  if (entry.speed > 2) entry.speed = 1;
  if (entry.brightness > 5) entry.brightness = 5;
  if (entry.direction > 1) entry.direction = 0;
  if (entry.selection < 1 || entry.selection > 2) entry.selection = 1;
  return entry;
}

}  // namespace

LightingEffectSettings& LightingEffectSettings::Instance() {
  static auto* settings = new LightingEffectSettings();
  return *settings;
}

LightingEffectSettings::LightingEffectSettings() { ApplyDefaults(); }

void LightingEffectSettings::ApplyDefaults() {
  entries_.fill(EffectEntry::FromValue(EffectEntry::kFactoryValue));
  current_ = kDefaultCurrent;
}

bool LightingEffectSettings::Load(const std::string& path) {
  if (path.empty()) return false;
  pugi::xml_document doc;
  if (!file_.Load(path, doc)) {
    ApplyDefaults();
    Save();
    return false;
  }
  ReadDocument(doc);
  return true;
}

void LightingEffectSettings::ReadDocument(const pugi::xml_document& doc) {
  // Without an "effect" root there is no "sel" and there are no children:
  // the current effect becomes 0 and every entry stays as it was.
  const pugi::xml_node root = ChildNoCase(doc, "effect");
  const uint32_t sel = AttributeNumber(root, "sel");  // unsigned: -1 is out of range
  current_ = sel <= kEntryCount ? static_cast<int32_t>(sel) : 0;
  // Any child node fills the next entry, whatever its name or kind.
  int index = 0;
  for (pugi::xml_node child = root.first_child(); child && index < kEntryCount; child = child.next_sibling()) {
    entries_[index++] = ReadEntry(child);
  }
}

bool LightingEffectSettings::Save() {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("effect");
  root.append_attribute("sel").set_value(current_);
  for (const EffectEntry& entry : entries_) {
    pugi::xml_node item = root.append_child("item");
    item.append_attribute("speed").set_value(unsigned{entry.speed});
    item.append_attribute("brightness").set_value(unsigned{entry.brightness});
    item.append_attribute("deriction").set_value(unsigned{entry.direction});
    item.append_attribute("selection").set_value(unsigned{entry.selection});
  }
  return file_.Save(doc);
}

EffectEntry* LightingEffectSettings::GetEntry(int index) {
  const int resolved = index == -1 ? current_ : index;
  return resolved >= 0 && resolved < kEntryCount ? &entries_[resolved] : nullptr;
}

const EffectEntry* LightingEffectSettings::GetEntry(int index) const {
  return const_cast<LightingEffectSettings*>(this)->GetEntry(index);
}

bool LightingEffectSettings::SetCurrent(int32_t index) {
  current_ = index;
  return Save();
}

bool LightingEffectSettings::ResetDefaults() {
  ApplyDefaults();
  return Save();
}

}  // namespace keyloom
