#include "ui/toolkit/UiDefinition.h"

#include <QGuiApplication>

#include <QPixmap>

#include "ui/toolkit/ResourceProvider.h"

namespace keyloom::ui {

bool UiDefinition::Load(const ResourceProvider& resources, const QString& typeAndName) {
  resources_ = &resources;
  pugi::xml_document def;
  if (!resources.LoadXml(typeAndName, def)) return false;
  const pugi::xml_node root = def.document_element();

  auto loadTable = [&](const char* element, auto&& use) {
    const QString source = QString::fromUtf8(root.child(element).attribute("src").value());
    pugi::xml_document doc;
    if (!source.isEmpty() && resources.LoadXml(source, doc)) use(doc.document_element());
  };
  loadTable("string", [&](const pugi::xml_node& n) { strings_.Load(n); });
  loadTable("color", [&](const pugi::xml_node& n) { colors_.Load(n); });
  loadTable("skin", [&](const pugi::xml_node& n) {
    for (pugi::xml_node e : n.children()) {
      if (e.type() != pugi::node_element) continue;
      const QString name = QString::fromUtf8(e.attribute("name").value()).toLower();
      if (name.isEmpty() || skinEntries_.contains(name)) continue;
      const QStringList m = QString::fromUtf8(e.attribute("margin").value()).split(',');
      const QMargins margins = m.size() == 4 ? QMargins(m[0].toInt(), m[1].toInt(), m[2].toInt(), m[3].toInt()) : QMargins();
      skinEntries_.insert(name, SkinEntry{QString::fromUtf8(e.attribute("src").value()), e.attribute("states").as_int(1),
                                          e.attribute("vertical").as_bool(), margins});
    }
  });
  return true;
}

QColor UiDefinition::ResolveColor(const QString& text) const {
  if (text.startsWith(QLatin1String("@color/"))) return ResolveColor(colors_.Get(text.mid(7)));
  if (!text.startsWith('#')) return {};
  return QColor::fromString(text);
}

QColor UiDefinition::ColorOr(const char* name, const char* fallback) const {
  const QColor c = ResolveColor(QStringLiteral("@color/") + QLatin1String(name));
  return c.isValid() ? c : QColor::fromString(QLatin1String(fallback));
}

QString UiDefinition::ResolveString(const QString& text) const {
  if (text.startsWith(QLatin1String("@string/"))) return strings_.Get(text.mid(8), text);
  return text;
}

std::shared_ptr<ImageSkin> UiDefinition::Skin(const QString& name) const {
  const QString key = name.toLower();
  if (auto it = skins_.constFind(key); it != skins_.constEnd()) return *it;
  const auto entry = skinEntries_.constFind(key);
  if (entry == skinEntries_.constEnd() || resources_ == nullptr) return nullptr;
  const QPixmap image = resources_->ReadImage(entry->source, qApp != nullptr ? qApp->devicePixelRatio() : 1.0);
  if (image.isNull()) return nullptr;
  auto skin = std::make_shared<ImageSkin>(image, entry->states, entry->vertical, entry->margins);
  skins_.insert(key, skin);
  return skin;
}

}  // namespace keyloom::ui
