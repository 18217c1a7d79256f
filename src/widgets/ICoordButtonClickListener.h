#pragma once

#include <QPoint>
#include <cstdint>
#include <string>

namespace keyloom::widgets {

// Told about presses (direction 0) and releases (direction 1) of the keys of
// a CoordButtonImage. `flags` are the mouse buttons held and the keyboard
// modifiers (Qt::MouseButtons | Qt::KeyboardModifiers), `pt` the mouse in
// widget coordinates. A non-zero result on a press means the listener dealt
// with it, and the widget skips its own selection rule.
class ICoordButtonClickListener {
 public:
  virtual ~ICoordButtonClickListener() = default;
  virtual int OnCoordButtonClick(int id, std::wstring name, int direction, uint32_t flags, QPoint pt) = 0;
};

}  // namespace keyloom::widgets
