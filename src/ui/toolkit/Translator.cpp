#include "ui/toolkit/Translator.h"

#include "ui/toolkit/ResourceProvider.h"

namespace keyloom::ui {

bool Translator::LoadAndInstall(const ResourceProvider& resources, const QString& name) {
  pugi::xml_document doc;
  if (!resources.LoadXml("translator:" + name, doc)) return false;
  auto language = std::make_unique<Language>();
  if (!language->Load(doc.child("language"))) return false;
  Install(std::move(language));
  return true;
}

void Translator::Install(std::unique_ptr<Language> language) {
  current_ = std::move(language);
  emit languageChanged();
}

QString Translator::Translate(const QString& text) const {
  if (!current_ || text.isEmpty()) return text;
  const QString translated = current_->Find(text);
  return translated.isNull() ? text : translated;
}

}  // namespace keyloom::ui
