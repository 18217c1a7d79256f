#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

namespace keyloom::tools {

// One key of the full-size (104-key ANSI) keyboard picture.
struct KeyboardKey {
  uint8_t vk;       // Windows virtual-key code, as the hook reports it
  bool extended;    // reported as an extended key: the id gets 0x100
  QString legend;   // what the keycap shows; "\n" separates a shifted symbol above
  QRect rect;       // the whole keycap, in logical pixels of the 960 x 300 picture

  int32_t Id() const { return vk + (extended ? 0x100 : 0); }
};

// The picture's size in logical pixels.
constexpr int kPictureWidth = 960;
constexpr int kPictureHeight = 300;

// Every key in file order: row by row, left to right, the main block first,
// then the navigation block and the keypad of that row.
std::vector<KeyboardKey> KeyboardKeys();

}  // namespace keyloom::tools
