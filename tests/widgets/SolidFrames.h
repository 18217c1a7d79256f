#pragma once

#include <QBuffer>
#include <QImage>
#include <string>
#include <vector>

namespace keyloom::widgets::test {

// A PNG strip of solid-coloured sub-images side by side, one a colour, so a
// single pixel tells which sub-image was drawn.
inline std::string SolidFramesPng(const std::vector<QRgb>& colours, int width, int height) {
  QImage image(width * static_cast<int>(colours.size()), height, QImage::Format_ARGB32);
  for (int i = 0; i < static_cast<int>(colours.size()); ++i)
    for (int x = 0; x < width; ++x)
      for (int y = 0; y < height; ++y) image.setPixel(i * width + x, y, colours[static_cast<size_t>(i)]);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

}  // namespace keyloom::widgets::test
