#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace keyloom {

// Element and attribute names in keyloom's files are matched without regard
// to letter case, and only the first of each name counts.
bool NameEqualsNoCase(std::string_view a, std::string_view b);
pugi::xml_node ChildNoCase(const pugi::xml_node& parent, std::string_view name);
pugi::xml_attribute AttributeNoCase(const pugi::xml_node& node, std::string_view name);

// Text of an attribute found without regard to case; empty when missing.
std::string AttributeText(const pugi::xml_node& node, std::string_view name);

// UTF-8 (pugixml's text) <-> the wide strings the models keep.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace keyloom
