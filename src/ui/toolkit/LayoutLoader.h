#pragma once

#include <pugixml.hpp>

namespace keyloom::ui {

class SWindow;
class UiApp;

// Builds a widget tree from a layout element: every child element becomes a
// widget of the class its element name registers, takes the element's
// attributes (names without regard to case) and its text, and builds its own
// children in turn. An unknown class is logged and its subtree skipped.
class LayoutLoader {
 public:
  explicit LayoutLoader(UiApp& app) : app_(app) {}

  // Applies `element`'s attributes to `widget`, then builds its children.
  void Build(const pugi::xml_node& element, SWindow* widget);

 private:
  void ApplyAttributes(const pugi::xml_node& element, SWindow* widget);

  UiApp& app_;
};

}  // namespace keyloom::ui
