#include "ui/toolkit/NamedValueTable.h"

namespace keyloom::ui {

void NamedValueTable::Load(const pugi::xml_node& root) {
  values_.clear();
  index_.clear();
  for (pugi::xml_node item : root.children("item")) {
    const QString name = QString::fromUtf8(item.attribute("name").value()).toLower();
    values_.append(QString::fromUtf8(item.attribute("value").value()));
    if (!name.isEmpty() && !index_.contains(name)) index_.insert(name, values_.size() - 1);
  }
}

QString NamedValueTable::Get(const QString& name, const QString& fallback) const {
  const auto it = index_.constFind(name.toLower());
  return it == index_.constEnd() ? fallback : values_[*it];
}

}  // namespace keyloom::ui
