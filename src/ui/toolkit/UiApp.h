#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "ui/toolkit/ClassRegistry.h"
#include "ui/toolkit/NameIdTable.h"
#include "ui/toolkit/ResourceProvider.h"
#include "ui/toolkit/Translator.h"
#include "ui/toolkit/UiDefinition.h"

namespace keyloom::ui {

// The toolkit's application object: the resource folder, the UI definition,
// the translation manager, the widget class registry and the named-widget
// table. Windows and widgets reach them through it; there is no global.
class UiApp {
 public:
  UiApp();
  UiApp(const UiApp&) = delete;
  UiApp& operator=(const UiApp&) = delete;

  // Opens the resource folder and loads the UI definition from it.
  // False when either is missing; the program still runs, with bare widgets.
  bool Initialize(const QString& resourceFolder, const QString& uiDefinition);

  ResourceProvider& resources() { return resources_; }
  const ResourceProvider& resources() const { return resources_; }
  const UiDefinition& definition() const { return definition_; }
  Translator& translator() { return translator_; }
  const Translator& translator() const { return translator_; }
  ClassRegistry& classes() { return classes_; }
  NameIdTable& names() { return names_; }
  const NameIdTable& names() const { return names_; }

  // An icon resource such as "ICON:ICON_LOGO"; null when missing.
  QIcon Icon(const QString& typeAndName) const;
  // A picture resource such as "img:logo" for this display's scale (its 2x
  // variant at 200 %); null when missing.
  QPixmap Image(const QString& typeAndName) const;
  // Whether Image would give a picture, without decoding it.
  bool CanLoadImage(const QString& typeAndName) const;

  // The folder that holds the program; widgets resolve the relative paths
  // of their own files (the keyboard coordinate file) against it.
  void SetProgramFolder(const QString& folder) { programFolder_ = folder; }
  const QString& programFolder() const { return programFolder_; }

 private:
  void BroadcastLanguageChange();

  ResourceProvider resources_;
  UiDefinition definition_;
  Translator translator_;
  ClassRegistry classes_;
  NameIdTable names_;
  QString programFolder_;
};

}  // namespace keyloom::ui
