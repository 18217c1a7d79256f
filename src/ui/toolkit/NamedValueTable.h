#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <pugixml.hpp>

namespace keyloom::ui {

// An ordered table of named values ("values:string", "values:color"):
//   <string><item name="NAME" value="VALUE"/>...</string>
// Entries keep file order, so entry 0 is the first item; names are compared
// without regard to case and the first of a name counts.
class NamedValueTable {
 public:
  void Load(const pugi::xml_node& root);

  int size() const { return values_.size(); }
  QString At(int index) const { return index >= 0 && index < values_.size() ? values_[index] : QString(); }
  // Value of `name`; `fallback` when the table has no such entry.
  QString Get(const QString& name, const QString& fallback = {}) const;
  bool Contains(const QString& name) const { return index_.contains(name.toLower()); }

 private:
  QStringList values_;
  QHash<QString, int> index_;
};

}  // namespace keyloom::ui
