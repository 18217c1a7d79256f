#include "config/XmlLookup.h"

#include <cctype>

namespace keyloom {

bool NameEqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

pugi::xml_node ChildNoCase(const pugi::xml_node& parent, std::string_view name) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element && NameEqualsNoCase(child.name(), name)) return child;
  }
  return {};
}

pugi::xml_attribute AttributeNoCase(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    if (NameEqualsNoCase(a.name(), name)) return a;
  }
  return {};
}

std::string AttributeText(const pugi::xml_node& node, std::string_view name) {
  return AttributeNoCase(node, name).value();
}

std::wstring Widen(std::string_view utf8) { return pugi::as_wide(std::string(utf8).c_str()); }

std::string Narrow(std::wstring_view wide) { return pugi::as_utf8(std::wstring(wide).c_str()); }

}  // namespace keyloom
