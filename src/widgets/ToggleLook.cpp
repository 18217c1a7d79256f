#include "widgets/ToggleLook.h"

#include <QPainter>
#include <cstdio>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/UiDefinition.h"
#include "widgets/AttributeNumber.h"

namespace keyloom::widgets {

bool ToggleLook::SetAttribute(const QString& name, const QString& value, const ui::UiDefinition& definition) {
  if (name == QLatin1String("iconskin")) {
    iconSkin_ = definition.Skin(value);
  } else if (name == QLatin1String("iconpos")) {
    // sscanf keeps what it could not read: "7" moves x only, "x,3" nothing.
    int x = iconPos_.x();
    int y = iconPos_.y();
    const QByteArray text = value.toLatin1();
    [[maybe_unused]] const int fields = std::sscanf(text.constData(), "%d,%d", &x, &y);
    iconPos_ = QPoint(x, y);
  } else if (name == QLatin1String("textx")) {
    textX_ = AttributeNumber(value);
  } else if (name == QLatin1String("texty")) {
    textY_ = AttributeNumber(value);
  } else {
    return false;
  }
  return true;
}

int ToggleLook::FillState(const ui::ImageSkin* fill, const Input& input) {
  if (input.pressed) return 2;
  if (input.hovered) return 1;
  if (input.checked && fill != nullptr && fill->states() > 0) return fill->states() - 1;
  return 0;
}

int ToggleLook::IconState(const Input& input) {
  const int base = input.checked ? 4 : 0;
  if (input.disabled) return base + 3;
  if (input.pressed) return base + 2;
  if (input.hovered) return base + 1;
  return base;
}

QRect ToggleLook::TextRect(const QRect& client) const {
  const int iconWidth = iconSkin_ ? iconSkin_->StateSize().width() : 0;
  return client.adjusted(iconPos_.x() + textX_ + iconWidth, iconPos_.y() + textY_, 0, 0);
}

void ToggleLook::PaintIcon(QPainter& painter, const QRect& client, const Input& input) const {
  if (!iconSkin_) return;
  iconSkin_->Draw(painter, QRect(client.topLeft() + iconPos_, iconSkin_->StateSize()), IconState(input));
}

}  // namespace keyloom::widgets
