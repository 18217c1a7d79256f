#include "ui/toolkit/ResourceProvider.h"

#include <QDir>
#include <QFile>
#include <QImageReader>

namespace keyloom::ui {

bool ResourceProvider::Open(const QString& folder) {
  folder_ = folder;
  files_.clear();
  pugi::xml_document index;
  const QByteArray path = QFile::encodeName(QDir(folder).filePath("uires.idx"));
  if (!index.load_file(path.constData())) return false;
  // <resource><TYPE><file name="NAME" path="relative/path"/>...</TYPE>...</resource>
  for (pugi::xml_node type : index.document_element().children()) {
    if (type.type() != pugi::node_element) continue;
    for (pugi::xml_node file : type.children("file")) {
      const QString key = QString::fromUtf8(type.name()) + ':' + QString::fromUtf8(file.attribute("name").value());
      const QString relative = QString::fromUtf8(file.attribute("path").value());
      if (!relative.isEmpty() && !files_.contains(key.toLower())) files_.insert(key.toLower(), relative);
    }
  }
  return true;
}

QString ResourceProvider::PathOf(const QString& typeAndName) const {
  const auto it = files_.constFind(typeAndName.toLower());
  if (it == files_.constEnd()) return {};
  return QDir(folder_).filePath(*it);
}

QString ResourceProvider::PathOf(const QString& type, const QString& name) const {
  return PathOf(type + ':' + name);
}

QByteArray ResourceProvider::ReadBytes(const QString& typeAndName) const {
  const QString path = PathOf(typeAndName);
  if (path.isEmpty()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QPixmap ResourceProvider::ReadImage(const QString& typeAndName, qreal devicePixelRatio) const {
  QPixmap image;
  if (devicePixelRatio > 1.0 && image.loadFromData(ReadBytes(typeAndName + QLatin1String("@2x")))) {
    image.setDevicePixelRatio(2.0);
    return image;
  }
  if (!image.loadFromData(ReadBytes(typeAndName))) return {};
  return image;
}

bool ResourceProvider::CanReadImage(const QString& typeAndName, qreal devicePixelRatio) const {
  for (const QString& name : {devicePixelRatio > 1.0 ? typeAndName + QLatin1String("@2x") : QString(), typeAndName}) {
    const QString path = name.isEmpty() ? QString() : PathOf(name);
    if (!path.isEmpty() && QImageReader(path).canRead()) return true;
  }
  return false;
}

bool ResourceProvider::LoadXml(const QString& typeAndName, pugi::xml_document& doc) const {
  const QString path = PathOf(typeAndName);
  if (path.isEmpty()) return false;
  return static_cast<bool>(doc.load_file(QFile::encodeName(path).constData()));
}

}  // namespace keyloom::ui
