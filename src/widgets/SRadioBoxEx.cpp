#include "widgets/SRadioBoxEx.h"

#include <QRadioButton>
#include <QPainter>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/SkinnedButton.h"

namespace keyloom::widgets {

SRadioBoxEx::SRadioBoxEx(ui::UiApp& app, QWidget* parent) : SRadioBoxEx(app, parent, new SkinnedButton<QRadioButton>) {}

SRadioBoxEx::SRadioBoxEx(ui::UiApp& app, QWidget* parent, SkinnedButton<QRadioButton>* button)
    : SRadioBox(app, parent, button), button_(button) {
  button_->setAttribute(Qt::WA_Hover);
  button_->lookChanged = [this] { update(); };
}

bool SRadioBoxEx::SetAttribute(const QString& name, const QString& value) {
  if (look_.SetAttribute(name, value, app().definition())) return true;
  return SRadioBox::SetAttribute(name, value);
}

QSize SRadioBoxEx::sizeHint() const { return skin() ? skin()->StateSize() : SWindow::sizeHint(); }

ToggleLook::Input SRadioBoxEx::LookInput() const {
  return {IsChecked(), button_->IsHovered(), button_->isDown(), !isEnabled()};
}

int SRadioBoxEx::DrawState() const { return ToggleLook::FillState(skin().get(), LookInput()); }

void SRadioBoxEx::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintBackground(painter);
  look_.PaintIcon(painter, rect(), LookInput());
  DrawText(painter, TextRect());
}

}  // namespace keyloom::widgets
