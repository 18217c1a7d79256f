#pragma once

#include <pugixml.hpp>

class QWidget;

namespace keyloom::ui {

class SWindow;
class UiApp;

// Builds a widget tree from a layout element: every child element becomes a
// widget of the class its element name registers, takes the element's
// attributes (names without regard to case) and its text, and builds its own
// content in turn (SWindow::CreateChildren: by default its child elements).
// An unknown class is logged and its subtree skipped.
class LayoutLoader {
 public:
  explicit LayoutLoader(UiApp& app) : app_(app) {}

  // Applies `element`'s attributes to `widget`, lets it build its content,
  // places its children and tells it the layout is loaded.
  void Build(const pugi::xml_node& element, SWindow* widget);
  // Every child element of `element` as a child widget of `parent`.
  void CreateChildren(const pugi::xml_node& element, SWindow* parent);
  // One widget of the class `element` names, built under `parent`; null
  // (logged) when the class is unknown.
  SWindow* CreateChild(const pugi::xml_node& element, QWidget* parent);

 private:
  void ApplyAttributes(const pugi::xml_node& element, SWindow* widget);

  UiApp& app_;
};

}  // namespace keyloom::ui
