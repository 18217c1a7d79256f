#include "actions/AssignmentBuilder.h"

namespace keyloom {
namespace {

MacroStep Step(uint32_t code, uint32_t state, uint32_t delay) { return MacroStep{code, state, delay, {}}; }

}  // namespace

std::optional<KeyRecord> BuildAssignment(int32_t keyId, const std::wstring& keyName, const MacroLibrary& library,
                                         const DeviceConfig& config, const PictureKeyLookup& pictureKeyName) {
  KeyRecord record;
  record.code = keyId;
  record.type = library.type;
  record.name = keyName;
  switch (library.type) {
    case 0: {
      const MacroGroup* group = library.GetGroup(library.group);
      if (group == nullptr) return std::nullopt;
      record.repeat = library.repeat;
      record.mode = library.playmode;
      record.group = group->name;
      record.steps = group->steps;
      return record;
    }
    case 1: {
      std::wstring target;
      if (!pictureKeyName || !pictureKeyName(library.skcode, &target)) return std::nullopt;
      record.group = target;
      record.steps = {Step(static_cast<uint32_t>(library.skcode), 0, 0)};
      return record;
    }
    case 2: {
      if (library.media < 0 || library.media >= static_cast<int32_t>(config.functionKeys.size())) return std::nullopt;
      const FunctionKeyAction& action = config.functionKeys[library.media];
      record.group = action.name;
      record.steps = {Step(action.code, 0, 0)};
      return record;
    }
    case 3: {
      if (library.function < 0 || library.function >= static_cast<int32_t>(config.combinations.size())) return std::nullopt;
      const KeyCombination& combination = config.combinations[library.function];
      if (combination.steps.empty()) return std::nullopt;
      record.group = combination.name;
      // Two passes over the keys, as the combination's playback reads them:
      // state 1 with the key's number + 1 as delay, then state 0 with the number.
      for (const auto& [key, number] : combination.steps)
        record.steps.push_back(Step(static_cast<uint32_t>(key), 1, static_cast<uint32_t>(number + 1)));
      for (const auto& [key, number] : combination.steps)
        record.steps.push_back(Step(static_cast<uint32_t>(key), 0, static_cast<uint32_t>(number)));
      return record;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace keyloom
