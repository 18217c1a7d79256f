#include "macros/MacroLibrary.h"

#include <algorithm>

#include "config/XmlLookup.h"
#include "macros/StepXml.h"

namespace keyloom {
namespace {

// The settings in the order "config" lists them in the file.
struct Setting {
  const char* attribute;
  int32_t MacroLibrary::*field;
};
constexpr Setting kSettings[] = {
    {"type", &MacroLibrary::type},         {"repeat", &MacroLibrary::repeat}, {"mode", &MacroLibrary::mode},
    {"delay", &MacroLibrary::delay},       {"media", &MacroLibrary::media},   {"function", &MacroLibrary::function},
    {"group", &MacroLibrary::group},       {"skcode", &MacroLibrary::skcode}, {"playmode", &MacroLibrary::playmode},
};

}  // namespace

MacroLibrary& MacroLibrary::Instance() {
  static auto* library = new MacroLibrary();
  return *library;
}

bool MacroLibrary::Load(const std::string& path) {
  if (path.empty()) return false;
  pugi::xml_document doc;
  if (!file_.Load(path, doc)) return false;

  groups.clear();
  if (const pugi::xml_node macro = ChildNoCase(doc, "macro")) {
    // Every child is a group and every grandchild a step, whatever their
    // names; text placed directly inside counts as a group without steps.
    for (pugi::xml_node node = macro.first_child(); node; node = node.next_sibling()) {
      groups.push_back({Widen(AttributeText(node, "name")), ReadSteps(node)});
    }
  }
  if (const pugi::xml_node config = ChildNoCase(doc, "config")) {
    for (const Setting& setting : kSettings) {
      this->*setting.field = static_cast<int32_t>(AttributeNumber(config, setting.attribute));
    }
  }
  return true;
}

bool MacroLibrary::Save() {
  pugi::xml_document doc;
  pugi::xml_node config = doc.append_child("config");
  for (const Setting& setting : kSettings) config.append_attribute(setting.attribute).set_value(this->*setting.field);
  pugi::xml_node macro = doc.append_child("macro");
  for (const MacroGroup& each : groups) {
    pugi::xml_node node = macro.append_child("group");
    node.append_attribute("name").set_value(Narrow(each.name).c_str());
    WriteSteps(node, each.steps);
  }
  return file_.Save(doc);
}

MacroGroup* MacroLibrary::GetGroup(int index) {
  const int resolved = index < 0 ? group : index;
  return resolved >= 0 && resolved < GroupCount() ? &groups[resolved] : nullptr;
}

const MacroGroup* MacroLibrary::GetGroup(int index) const {
  return const_cast<MacroLibrary*>(this)->GetGroup(index);
}

void MacroLibrary::AddGroup() {
  // "Group <n>" from the group count up, skipping names already taken.
  for (int n = GroupCount();; ++n) {
    const std::wstring name = L"Group " + std::to_wstring(n);
    const bool taken = std::any_of(groups.begin(), groups.end(), [&](const MacroGroup& g) { return g.name == name; });
    if (!taken) {
      groups.push_back({name, {}});
      break;
    }
  }
  Save();
}

bool MacroLibrary::DeleteGroup(int index) {
  if (index < 0 || index >= GroupCount()) return false;
  groups.erase(groups.begin() + index);
  Save();
  return true;
}

bool MacroLibrary::RenameGroup(int index, const std::wstring& newName) {
  MacroGroup* target = index >= 0 ? GetGroup(index) : nullptr;
  if (!target || target->name == newName) return false;
  target->name = newName;
  Save();
  return true;
}

}  // namespace keyloom
