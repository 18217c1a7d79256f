#include "ui/toolkit/ImageSkin.h"

#include <QPainter>
#include <algorithm>

namespace keyloom::ui {

ImageSkin::ImageSkin(QPixmap image, int states, bool vertical, QMargins margins)
    : image_(std::move(image)), states_(std::max(1, states)), vertical_(vertical), margins_(margins) {}

QSize ImageSkin::StateSize() const {
  const QSize pixels = StatePixels();
  const qreal ratio = image_.devicePixelRatio();
  return QSize(qRound(pixels.width() / ratio), qRound(pixels.height() / ratio));
}

QSize ImageSkin::StatePixels() const {
  return vertical_ ? QSize(image_.width(), image_.height() / states_)
                   : QSize(image_.width() / states_, image_.height());
}

// In the picture's own pixels: a 2x picture's sub-images are twice as large.
QRect ImageSkin::SourceRect(int state) const {
  const int i = std::clamp(state, 0, states_ - 1);
  const QSize size = StatePixels();
  return vertical_ ? QRect(QPoint(0, i * size.height()), size) : QRect(QPoint(i * size.width(), 0), size);
}

void ImageSkin::Draw(QPainter& painter, const QRect& target, int state) const {
  if (image_.isNull()) return;
  if (margins_.isNull()) {
    painter.drawPixmap(target, image_, SourceRect(state));
    return;
  }
  DrawNineGrid(painter, target, SourceRect(state));
}

void ImageSkin::DrawNineGrid(QPainter& painter, const QRect& target, const QRect& source) const {
  const qreal ratio = image_.devicePixelRatio();
  // Column and row edges of the target (logical) and of the source (pixels).
  const int tx[4] = {target.left(), target.left() + margins_.left(), target.right() + 1 - margins_.right(),
                     target.right() + 1};
  const int ty[4] = {target.top(), target.top() + margins_.top(), target.bottom() + 1 - margins_.bottom(),
                     target.bottom() + 1};
  const int sx[4] = {source.left(), source.left() + qRound(margins_.left() * ratio),
                     source.right() + 1 - qRound(margins_.right() * ratio), source.right() + 1};
  const int sy[4] = {source.top(), source.top() + qRound(margins_.top() * ratio),
                     source.bottom() + 1 - qRound(margins_.bottom() * ratio), source.bottom() + 1};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const QRect to(QPoint(tx[col], ty[row]), QPoint(tx[col + 1] - 1, ty[row + 1] - 1));
      const QRect from(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
      if (to.isValid() && from.isValid()) painter.drawPixmap(to, image_, from);
    }
  }
}

QPixmap ImageSkin::StateImage(int state) const {
  QPixmap part = image_.copy(SourceRect(state));
  part.setDevicePixelRatio(image_.devicePixelRatio());
  return part;
}

}  // namespace keyloom::ui
