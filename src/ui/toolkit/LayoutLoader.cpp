#include "ui/toolkit/LayoutLoader.h"

#include "ui/toolkit/SWindow.h"
#include "ui/toolkit/ToolkitLog.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

void LayoutLoader::ApplyAttributes(const pugi::xml_node& element, SWindow* widget) {
  // The name first, so that an explicit id written after it still wins.
  if (pugi::xml_attribute name = element.attribute("name")) widget->SetAttribute("name", QString::fromUtf8(name.value()));
  for (pugi::xml_attribute a : element.attributes()) {
    const QString key = QString::fromUtf8(a.name()).toLower();
    if (key == QLatin1String("name")) continue;
    if (!widget->SetAttribute(key, QString::fromUtf8(a.value())))
      ToolkitLog("unknown attribute [%s] of class [%s]", a.name(), widget->GetClassName());
  }
  const QString text = QString::fromUtf8(element.text().get()).trimmed();
  if (!text.isEmpty()) widget->SetAttribute("text", text);
}

void LayoutLoader::Build(const pugi::xml_node& element, SWindow* widget) {
  ApplyAttributes(element, widget);
  widget->CreateChildren(element, *this);
  widget->LayoutChildren();
  widget->OnLayoutLoaded();
}

void LayoutLoader::CreateChildren(const pugi::xml_node& element, SWindow* parent) {
  for (pugi::xml_node child : element.children()) {
    if (child.type() == pugi::node_element) CreateChild(child, parent);
  }
}

SWindow* LayoutLoader::CreateChild(const pugi::xml_node& element, QWidget* parent) {
  SWindow* created = app_.classes().Create(QString::fromUtf8(element.name()), app_, parent);
  if (created == nullptr) {
    ToolkitLog("unknown widget class [%s] in layout; skipped", element.name());
    return nullptr;
  }
  Build(element, created);
  return created;
}

}  // namespace keyloom::ui
