#pragma once

#include <QByteArray>
#include <QHash>
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
  // Parses the resource as XML into `doc`; false when missing or malformed.
  bool LoadXml(const QString& typeAndName, pugi::xml_document& doc) const;

  const QString& folder() const { return folder_; }

 private:
  QString folder_;
  QHash<QString, QString> files_;  // "type:name" in lower case -> relative path
};

}  // namespace keyloom::ui
