#pragma once

#include <QColor>
#include <QHash>
#include <QString>
#include <memory>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/NamedValueTable.h"

namespace keyloom::ui {

class ResourceProvider;

// The UI definition ("uidef:xml_init"): where the string, colour and skin
// tables are, and the skins themselves, loaded when first asked for.
//   <uidef><string src="values:string"/><color src="values:color"/><skin src="values:skin"/></uidef>
// A skin table holds entries
//   <imglist name="NAME" src="TYPE:NAME" states="N" vertical="0|1"/>
class UiDefinition {
 public:
  bool Load(const ResourceProvider& resources, const QString& typeAndName);

  const NamedValueTable& strings() const { return strings_; }
  const NamedValueTable& colors() const { return colors_; }

  // A colour written "#RRGGBB", "#AARRGGBB" or "@color/NAME"; invalid when neither.
  QColor ResolveColor(const QString& text) const;
  // The colour table's entry `name`, or `fallback` ("#RRGGBB") when the
  // table has none or it is no colour: how controls take their dress.
  QColor ColorOr(const char* name, const char* fallback) const;
  // A text written "@string/NAME" becomes the table's value; other text stays.
  QString ResolveString(const QString& text) const;
  // The named skin, or null when the table has none or its image is missing.
  std::shared_ptr<ImageSkin> Skin(const QString& name) const;

 private:
  struct SkinEntry {
    QString source;
    int states = 1;
    bool vertical = false;
    QMargins margins;
  };
  const ResourceProvider* resources_ = nullptr;
  NamedValueTable strings_;
  NamedValueTable colors_;
  QHash<QString, SkinEntry> skinEntries_;
  mutable QHash<QString, std::shared_ptr<ImageSkin>> skins_;
};

}  // namespace keyloom::ui
