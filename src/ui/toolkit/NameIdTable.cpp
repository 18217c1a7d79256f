#include "ui/toolkit/NameIdTable.h"

namespace keyloom::ui {

void NameIdTable::Register(const std::vector<std::pair<QString, int>>& rows) {
  for (const auto& [name, id] : rows) ids_.insert(name, id);
}

}  // namespace keyloom::ui
