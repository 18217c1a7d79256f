#pragma once

#include <QHash>
#include <QString>
#include <utility>
#include <vector>

namespace keyloom::ui {

// The named-widget table: widget names with their numeric identifiers,
// registered before any layout loads so that a layout's name gives its id.
class NameIdTable {
 public:
  void Register(const std::vector<std::pair<QString, int>>& rows);
  // The id of `name`, or 0 when the table does not know it.
  int IdOf(const QString& name) const { return ids_.value(name, 0); }
  int size() const { return ids_.size(); }

 private:
  QHash<QString, int> ids_;
};

}  // namespace keyloom::ui
