#include "ui/mainwindow/FirmwareText.h"

#include "ui/toolkit/Translator.h"

namespace keyloom {

QString FirmwareText(int32_t version, const ui::Translator& translator) {
  if (version == -1) return {};
  QString text = translator.Translate(QStringLiteral("Firmware"));
  if (version == 0) return text + translator.Translate(QStringLiteral(": ")) + translator.Translate(QStringLiteral("Early version"));
  // The major number keeps the version's sign; the minor is its low byte.
  return text + QStringLiteral(": v") + QString::number(version >> 8) + QLatin1Char('.') + QString::number(version & 255);
}

}  // namespace keyloom
