#include "ui/macroeditor/KeyAndDelayAdapter.h"

#include <cctype>
#include <string>

#include "config/CNumber.h"

namespace keyloom {

KeyAndDelayAdapter::KeyAndDelayAdapter(MacroLibrary& library, const ui::Translator* translator, QObject* parent)
    : SMcAdapterBase(parent), library_(library), translator_(translator) {}

void KeyAndDelayAdapter::SetGroup(int index) {
  shown_ = index >= 0 && index < library_.GroupCount() ? index : -1;
  notifyDataSetChanged();
}

MacroGroup* KeyAndDelayAdapter::Group() const {
  return shown_ >= 0 && shown_ < library_.GroupCount() ? library_.GetGroup(shown_) : nullptr;
}

void KeyAndDelayAdapter::AddStep(uint32_t code, uint32_t state, uint32_t delay, const std::wstring& name) {
  MacroGroup* group = Group();
  if (group == nullptr || code == 0) return;
  group->AddStep(code, state, delay, name);
  notifyDataSetChanged();
}

bool KeyAndDelayAdapter::MoveUp(int row) {
  MacroGroup* group = Group();
  const bool moved = group != nullptr && group->MoveStepUp(row);
  notifyDataSetChanged();
  return moved;
}

bool KeyAndDelayAdapter::MoveDown(int row) {
  MacroGroup* group = Group();
  const bool moved = group != nullptr && group->MoveStepDown(row);
  notifyDataSetChanged();
  return moved;
}

bool KeyAndDelayAdapter::Delete(int row) {
  MacroGroup* group = Group();
  const bool deleted = group != nullptr && group->DeleteStep(row);
  notifyDataSetChanged();
  return deleted;
}

void KeyAndDelayAdapter::Clear() {
  if (MacroGroup* group = Group()) group->ClearSteps();
  notifyDataSetChanged();
}

MacroStep* KeyAndDelayAdapter::LastStep() const {
  MacroGroup* group = Group();
  return group != nullptr && group->StepCount() > 0 ? group->GetStep(group->StepCount() - 1) : nullptr;
}

bool KeyAndDelayAdapter::SetDelayText(int row, const QString& text) {
  MacroGroup* group = Group();
  MacroStep* step = group != nullptr ? group->GetStep(row) : nullptr;
  if (step == nullptr) return false;
  // Read as "%d" reads: blanks, a sign, then at least one digit; a number
  // past 32 bits saturates rather than overflowing.
  const std::string bytes = text.toStdString();
  size_t at = bytes.find_first_not_of(" \t\n\v\f\r");
  if (at != std::string::npos && (bytes[at] == '+' || bytes[at] == '-')) ++at;
  if (at == std::string::npos || at >= bytes.size() || !std::isdigit(static_cast<unsigned char>(bytes[at]))) return false;
  const int32_t delay = CLong32(bytes, 10);
  if (static_cast<uint32_t>(delay) != step->delay) {
    step->delay = static_cast<uint32_t>(delay);
    notifyItemDataChanged(row);
  }
  return true;
}

int KeyAndDelayAdapter::getCount() const {
  const MacroGroup* group = Group();
  return group != nullptr ? group->StepCount() : 0;
}

QString KeyAndDelayAdapter::getCellText(int row, int column) const {
  const MacroGroup* group = Group();
  const MacroStep* step = group != nullptr ? group->GetStep(row) : nullptr;
  if (step == nullptr) return {};
  switch (column) {
    case 0: return QString::number(step->code);
    case 1: return QString::fromStdWString(step->name);
    case 2: {
      const QString state = step->state == 0   ? QStringLiteral("key down")
                            : step->state == 1 ? QStringLiteral("key up")
                                               : QStringLiteral("replace");
      return translator_ != nullptr ? translator_->Translate(state) : state;
    }
    case kDelayColumn: return QString::number(static_cast<int32_t>(step->delay));
    default: return {};
  }
}

bool KeyAndDelayAdapter::setCellText(int row, int column, const QString& text) {
  return column == kDelayColumn && SetDelayText(row, text);
}

}  // namespace keyloom
