#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <string>

namespace keyloom::widgets {

// One key region of the keyboard picture, as its coordinate file entry
// describes it, with the flags the widget keeps for it.
struct CoordButton {
  int32_t id = -1;
  int32_t va = -1;  // kept with the key; the widget itself never reads it
  std::wstring name;
  // The key's area in widget coordinates; right and bottom are exclusive.
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  uint32_t colour = 0xFFFFFF;  // 0xRRGGBB, painted under the background picture
  std::wstring tip;
  int32_t checked = 0;
  int32_t hover = 0;
  int32_t pressed = 0;

  bool Contains(const QPoint& p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
  // The area as a Qt rectangle; a null one when the area is empty.
  // Coordinates past a quarter of a billion pixels, which no picture has,
  // are brought in so Qt's own rectangle arithmetic cannot overflow.
  QRect Area() const {
    if (right <= left || bottom <= top) return QRect();
    constexpr int32_t kFar = 1 << 28;
    const auto in = [](int32_t v) { return v < -kFar ? -kFar : v > kFar ? kFar : v; };
    return QRect(QPoint(in(left), in(top)), QPoint(in(right) - 1, in(bottom) - 1));
  }
};

}  // namespace keyloom::widgets
