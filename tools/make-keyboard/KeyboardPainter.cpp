#include "KeyboardPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace keyloom::tools {
namespace {

const QColor kCaseTop(0x1A, 0x1E, 0x26), kCaseBottom(0x12, 0x15, 0x1A), kCaseRim(0x33, 0x3A, 0x47);
const QColor kPlate(0x0C, 0x0E, 0x12);
const QColor kCap(0x26, 0x2B, 0x35), kCapTop(0x30, 0x36, 0x42), kCapSkirt(0x1A, 0x1E, 0x25);
const QColor kLegend(0xC9, 0xCE, 0xD8);
const QColor kAccent(0x5F, 0xE3, 0xC4);

struct CapColours {
  QColor skirt, surfaceTop, surfaceBottom, legend, outline;
  qreal sink;  // how far the top surface sits lower (pressed)
};

CapColours ColoursFor(KeyboardPainter::Look look) {
  switch (look) {
    case KeyboardPainter::Look::Floating:
      return {QColor(0x1C, 0x2A, 0x2A), QColor(0x31, 0x3D, 0x44), kCap, QColor(0xE6, 0xFF, 0xF8), kAccent, 0};
    case KeyboardPainter::Look::Checked:
      return {QColor(0x36, 0xA8, 0x8E), QColor(0x86, 0xF2, 0xD9), kAccent, QColor(0x0C, 0x1C, 0x18), QColor(), 0};
    case KeyboardPainter::Look::Pressed:
      return {QColor(0x1A, 0x6E, 0x5D), QColor(0x3A, 0xAE, 0x95), QColor(0x2E, 0x97, 0x80), QColor(0x08, 0x16, 0x13),
              QColor(), 1.5};
    case KeyboardPainter::Look::Normal:
      break;
  }
  return {kCapSkirt, kCapTop, kCap, kLegend, QColor(), 0};
}

void PaintCase(QPainter& p, const std::vector<KeyboardKey>& keys) {
  const QRectF body(4.5, 4.5, kPictureWidth - 9, kPictureHeight - 9);
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0, kCaseTop);
  fill.setColorAt(1, kCaseBottom);
  p.setPen(QPen(kCaseRim, 1));
  p.setBrush(fill);
  p.drawRoundedRect(body, 18, 18);
  // A faint light along the top edge of the rim.
  QLinearGradient shine(body.topLeft(), body.topRight());
  shine.setColorAt(0, QColor(255, 255, 255, 0));
  shine.setColorAt(0.5, QColor(255, 255, 255, 40));
  shine.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(QPen(QBrush(shine), 1));
  p.drawLine(QPointF(body.left() + 24, body.top() + 1.5), QPointF(body.right() - 24, body.top() + 1.5));

  // The recessed plate the keys sit in.
  QRect block;
  for (const KeyboardKey& key : keys) block |= key.rect;
  p.setPen(QPen(QColor(0, 0, 0, 140), 1));
  p.setBrush(kPlate);
  p.drawRoundedRect(QRectF(block).adjusted(-7.5, -7.5, 7.5, 7.5), 10, 10);

  // Lock indicators over the keypad, beside the F row.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(7);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
  p.setFont(font);
  const KeyboardKey* numLock = nullptr;
  for (const KeyboardKey& key : keys)
    if (key.vk == 0x90) numLock = &key;
  if (numLock == nullptr) return;
  const char* labels[] = {"NUM", "CAPS", "SCROLL"};
  for (int i = 0; i < 3; ++i) {
    const qreal cx = numLock->rect.left() + 18 + i * 54;
    const qreal cy = block.top() + 12;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 50));
    p.drawEllipse(QPointF(cx, cy), 4, 4);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(cx, cy), 2, 2);
    p.setPen(QColor(0x6B, 0x73, 0x82));
    p.drawText(QRectF(cx - 27, cy + 6, 54, 12), Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(labels[i]));
  }
}

void PaintLegend(QPainter& p, const KeyboardKey& key, const QRectF& surface, const QColor& colour) {
  if (key.legend.isEmpty()) return;
  p.setPen(colour);
  QFont font(QStringLiteral("DejaVu Sans"));
  const QStringList lines = key.legend.split(QLatin1Char('\n'));
  const bool word = key.legend.size() > 2 && lines.size() == 1;
  if (lines.size() == 2) {
    font.setPixelSize(key.legend.at(0).isLetter() ? 8 : 10);
    font.setWeight(QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, key.legend.at(0).isLetter() ? 0.4 : 0);
    p.setFont(font);
    const QRectF top(surface.left(), surface.top() + 2, surface.width(), surface.height() / 2 - 1);
    const QRectF bottom(surface.left(), surface.center().y() - 1, surface.width(), surface.height() / 2 - 1);
    // The shifted symbol a little quieter than the key's own.
    QColor quiet = colour;
    quiet.setAlphaF(key.legend.at(0).isLetter() ? 1.0 : 0.7);
    p.setPen(quiet);
    p.drawText(top, Qt::AlignHCenter | Qt::AlignVCenter, lines[0]);
    p.setPen(colour);
    p.drawText(bottom, Qt::AlignHCenter | Qt::AlignVCenter, lines[1]);
    return;
  }
  if (word) {
    font.setPixelSize(8);
    font.setWeight(QFont::DemiBold);
    // Spaced out like small caps, closer together where the cap is narrow.
    for (qreal spacing : {0.6, 0.3, 0.0}) {
      font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
      if (QFontMetricsF(font).horizontalAdvance(key.legend) <= surface.width() - 3) break;
    }
  } else {
    // Letters and digits large, arrows and F-key numbers smaller.
    font.setPixelSize(key.legend.size() == 1 && key.legend.at(0).unicode() < 0x2000 ? 13 : 10);
    font.setWeight(QFont::DemiBold);
  }
  p.setFont(font);
  p.drawText(surface, Qt::AlignCenter, key.legend);
}

void PaintKey(QPainter& p, const KeyboardKey& key, KeyboardPainter::Look look) {
  const CapColours c = ColoursFor(look);
  const QRectF cap = QRectF(key.rect).adjusted(0.5, 0.5, -0.5, -0.5);

  // The skirt: the keycap's sides, seen around its top surface.
  p.setPen(QPen(QColor(0, 0, 0, 150), 1));
  p.setBrush(c.skirt);
  p.drawRoundedRect(cap, 5, 5);

  const QRectF surface = cap.adjusted(3, 2 + c.sink, -3, -5 + c.sink);
  QLinearGradient fill(surface.topLeft(), surface.bottomLeft());
  fill.setColorAt(0, c.surfaceTop);
  fill.setColorAt(1, c.surfaceBottom);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawRoundedRect(surface, 4, 4);
  // A thin highlight along the surface's top edge.
  p.setPen(QPen(QColor(255, 255, 255, look == KeyboardPainter::Look::Normal ? 22 : 60), 1));
  p.drawLine(QPointF(surface.left() + 4, surface.top() + 0.5), QPointF(surface.right() - 4, surface.top() + 0.5));

  if (c.outline.isValid()) {
    // Lit from below: a soft inner glow and a crisp accent outline.
    for (int i = 3; i >= 1; --i) {
      QColor glow = c.outline;
      glow.setAlpha(28 * (4 - i));
      p.setPen(QPen(glow, i * 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(cap.adjusted(i, i, -i, -i), 4, 4);
    }
    p.setPen(QPen(c.outline, 1.5));
    p.drawRoundedRect(cap.adjusted(0.25, 0.25, -0.25, -0.25), 5, 5);
  }
  PaintLegend(p, key, surface, c.legend);
}

}  // namespace

QImage KeyboardPainter::Paint(Look look, int scale) const {
  QImage image(kPictureWidth * scale, kPictureHeight * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  PaintCase(p, keys_);
  for (const KeyboardKey& key : keys_) PaintKey(p, key, look);
  p.end();
  image.setDevicePixelRatio(1);
  return image;
}

}  // namespace keyloom::tools
