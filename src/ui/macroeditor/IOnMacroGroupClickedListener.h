#pragma once

#include <string>

namespace keyloom {

// Told when a row of the macro editor's group list is clicked.
class IOnMacroGroupClickedListener {
 public:
  virtual ~IOnMacroGroupClickedListener() = default;
  virtual void OnMacroGroupClicked(int index, std::wstring name) = 0;
};

}  // namespace keyloom
