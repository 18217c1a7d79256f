#include "ui/toolkit/SMenu.h"

#include <QMenu>
#include <cstring>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SMenu::Kind SMenu::KindOfRoot(const char* rootName) {
  if (std::strcmp(rootName, "menu") == 0) return Kind::Classic;
  if (std::strcmp(rootName, "menuRoot") == 0 || std::strcmp(rootName, "menuItem") == 0) return Kind::Extended;
  return Kind::None;
}

SMenu::~SMenu() {
  if (open_) open_->deleteLater();
}

bool SMenu::LoadMenu(const QString& resource) {
  pugi::xml_document doc;
  if (!app_.resources().LoadXml(resource, doc)) return false;
  const Kind kind = KindOfRoot(doc.document_element().name());
  if (kind == Kind::None) return false;
  doc_.reset(doc);
  kind_ = kind;
  return true;
}

void SMenu::AddItems(QMenu* menu, const pugi::xml_node& parent, SHostWnd* owner) const {
  const Translator& translator = app_.translator();
  const UiDefinition& def = app_.definition();
  for (pugi::xml_node node : parent.children()) {
    if (node.type() != pugi::node_element) continue;
    const char* element = node.name();
    if (std::strcmp(element, "sep") == 0) {
      menu->addSeparator();
      continue;
    }
    QString text = QString::fromUtf8(node.attribute("text").value());
    if (text.isEmpty()) text = QString::fromUtf8(node.text().get()).trimmed();
    text = translator.Translate(def.ResolveString(text));
    // A node with item children is a submenu: <menu> in a classic menu,
    // <menuItem> in an extended one.
    if (node.find_child([](const pugi::xml_node& c) { return c.type() == pugi::node_element; })) {
      QMenu* sub = menu->addMenu(text);
      AddItems(sub, node, owner);
      continue;
    }
    QAction* action = menu->addAction(text);
    const int id = node.attribute("id").as_int();
    if (const char* icon = node.attribute("icon").value(); *icon != '\0')
      action->setIcon(QIcon(app_.Image(QString::fromUtf8(icon))));
    action->setEnabled(!node.attribute("disable").as_bool());
    if (owner != nullptr) {
      QObject::connect(action, &QAction::triggered, owner, [owner, id] { owner->PostMenuCommand(id); });
    }
  }
}

QMenu* SMenu::Build(SHostWnd* owner) const {
  if (kind_ == Kind::None) return nullptr;
  auto* menu = new QMenu(owner);
  menu->setObjectName(QStringLiteral("keyloom_menu"));
  AddItems(menu, doc_.document_element(), owner);
  return menu;
}

void SMenu::TrackPopupMenu(const QPoint& globalPos, SHostWnd* owner) {
  if (open_) open_->close();
  QMenu* menu = Build(owner);
  if (menu == nullptr) return;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  open_ = menu;
  menu->popup(globalPos);
}

}  // namespace keyloom::ui
