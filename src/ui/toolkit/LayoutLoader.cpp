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
  for (pugi::xml_node child : element.children()) {
    if (child.type() != pugi::node_element) continue;
    SWindow* created = app_.classes().Create(QString::fromUtf8(child.name()), app_, widget);
    if (created == nullptr) {
      ToolkitLog("unknown widget class [%s] in layout; skipped", child.name());
      continue;
    }
    Build(child, created);
    created->Relayout();
  }
  widget->OnLayoutLoaded();
}

}  // namespace keyloom::ui
