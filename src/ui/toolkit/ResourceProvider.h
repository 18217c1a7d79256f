#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <pugixml.hpp>

namespace keyloom::ui {

// The resource folder ("uires"): its index file "uires.idx" maps each
// resource, named "type:name", to a file inside the folder. Types and names
// are compared without regard to letter case.
class ResourceProvider {
 public:
  // Reads the index of `folder`. False when the index is missing or malformed
  // (every lookup then misses).
  bool Open(const QString& folder);

  // Full path of the file behind "type:name"; empty when there is none.
  QString PathOf(const QString& typeAndName) const;
  QString PathOf(const QString& type, const QString& name) const;

  QByteArray ReadBytes(const QString& typeAndName) const;
  // A picture resource for a display of `devicePixelRatio`: above 1, the
  // index entry "type:name@2x" (a picture twice the size) is taken when it
  // exists, so pictures stay sharp at 200 % scale. Null when missing.
  QPixmap ReadImage(const QString& typeAndName, qreal devicePixelRatio) const;
  // Whether ReadImage would give a picture, from the file's header alone
  // (nothing is decoded): for pictures a widget loads only when it needs them.
  bool CanReadImage(const QString& typeAndName, qreal devicePixelRatio) const;
  // Parses the resource as XML into `doc`; false when missing or malformed.
  bool LoadXml(const QString& typeAndName, pugi::xml_document& doc) const;

  const QString& folder() const { return folder_; }

 private:
  QString folder_;
  QHash<QString, QString> files_;  // "type:name" in lower case -> relative path
};

}  // namespace keyloom::ui
