#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "ui/toolkit/Language.h"

namespace keyloom::ui {

class ResourceProvider;

// The translation manager: holds the installed language, translates texts
// through it and tells the widgets when it changes so they show their texts
// anew. With no language installed every text shows as written.
class Translator : public QObject {
  Q_OBJECT
 public:
  // Loads the translator document "translator:<name>" and installs its
  // "language" element. False (and nothing changes) when it does not load.
  bool LoadAndInstall(const ResourceProvider& resources, const QString& name);
  void Install(std::unique_ptr<Language> language);

  QString Translate(const QString& text) const;
  const Language* current() const { return current_.get(); }

 signals:
  void languageChanged();

 private:
  std::unique_ptr<Language> current_;
};

}  // namespace keyloom::ui
