#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

#include "config/CNumber.h"

namespace keyloom::widgets {

// A number attribute of a custom widget: decimal, or hexadecimal after
// "0x"; reading stops at the first character that is no digit, and text
// without a digit reads as 0.
inline int AttributeNumber(const QString& value) {
  const QByteArray text = value.trimmed().toLatin1();
  const bool hex = text.startsWith("0x") || text.startsWith("0X");
  return CLong32(std::string_view(text.constData(), static_cast<size_t>(text.size())), hex ? 16 : 10);
}

}  // namespace keyloom::widgets
