#pragma once

#include <QHash>
#include <QString>
#include <pugixml.hpp>

namespace keyloom::ui {

// One translation, read from the "language" element of a translator document:
//   <language name="cn"><item src="Minimize" tr="最小化"/>...</language>
// `src` is the text as the layouts and the program write it; `tr` is what
// the user sees. The first item for a source text counts.
class Language {
 public:
  bool Load(const pugi::xml_node& language);

  const QString& name() const { return name_; }
  // The translation of `source`, or null when this language has none.
  QString Find(const QString& source) const { return texts_.value(source); }

 private:
  QString name_;
  QHash<QString, QString> texts_;
};

}  // namespace keyloom::ui
