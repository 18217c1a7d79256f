#pragma once

#include <QMargins>
#include <QPixmap>
#include <QRect>

class QPainter;

namespace keyloom::ui {

// An image cut into `states` equal sub-images side by side (or stacked when
// `vertical`), one per widget state: normal, hover, pushed, disabled, or the
// frames of whatever the widget counts.
//
// With margins (in device-independent pixels) the sub-image is drawn as a
// nine-grid: the corners keep their size, the edges stretch along one axis
// and the middle along both, so a rounded button skin fits any button.
class ImageSkin {
 public:
  ImageSkin(QPixmap image, int states, bool vertical, QMargins margins = {});

  int states() const { return states_; }
  // One sub-image's size in device-independent pixels.
  QSize StateSize() const;
  // Draws sub-image `state` (clamped to the last one) scaled into `target`.
  void Draw(QPainter& painter, const QRect& target, int state) const;
  QPixmap StateImage(int state) const;

 private:
  QRect SourceRect(int state) const;
  QSize StatePixels() const;

  void DrawNineGrid(QPainter& painter, const QRect& target, const QRect& source) const;

  QPixmap image_;
  int states_;
  bool vertical_;
  QMargins margins_;
};

}  // namespace keyloom::ui
