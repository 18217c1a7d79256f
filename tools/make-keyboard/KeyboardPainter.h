#pragma once

#include <QImage>
#include <vector>

#include "KeyboardKeys.h"

namespace keyloom::tools {

// Draws the keyboard picture in one of its looks. Every look has the same
// case and the same key geometry, so a key's area can be copied from one
// picture onto another.
class KeyboardPainter {
 public:
  enum class Look { Normal, Floating, Checked, Pressed };

  explicit KeyboardPainter(std::vector<KeyboardKey> keys) : keys_(std::move(keys)) {}

  // The picture at `scale` device pixels per logical pixel, drawn natively
  // at that scale (960 x 300 logical pixels).
  QImage Paint(Look look, int scale) const;

 private:
  std::vector<KeyboardKey> keys_;
};

}  // namespace keyloom::tools
