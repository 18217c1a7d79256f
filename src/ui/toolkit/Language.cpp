#include "ui/toolkit/Language.h"

namespace keyloom::ui {

bool Language::Load(const pugi::xml_node& language) {
  if (!language) return false;
  name_ = QString::fromUtf8(language.attribute("name").value());
  texts_.clear();
  for (pugi::xml_node item : language.children("item")) {
    const QString source = QString::fromUtf8(item.attribute("src").value());
    if (source.isEmpty() || texts_.contains(source)) continue;
    texts_.insert(source, QString::fromUtf8(item.attribute("tr").value()));
  }
  return true;
}

}  // namespace keyloom::ui
