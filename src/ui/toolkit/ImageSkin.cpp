#include "ui/toolkit/ImageSkin.h"

#include <QPainter>
#include <algorithm>

namespace keyloom::ui {

ImageSkin::ImageSkin(QPixmap image, int states, bool vertical)
    : image_(std::move(image)), states_(std::max(1, states)), vertical_(vertical) {}

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
  painter.drawPixmap(target, image_, SourceRect(state));
}

QPixmap ImageSkin::StateImage(int state) const {
  QPixmap part = image_.copy(SourceRect(state));
  part.setDevicePixelRatio(image_.devicePixelRatio());
  return part;
}

}  // namespace keyloom::ui
