#include "widgets/SCheckBoxEx.h"

#include <QCheckBox>
#include <QPainter>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/SkinnedButton.h"

namespace keyloom::widgets {

SCheckBoxEx::SCheckBoxEx(ui::UiApp& app, QWidget* parent) : SCheckBoxEx(app, parent, new SkinnedButton<QCheckBox>) {}

SCheckBoxEx::SCheckBoxEx(ui::UiApp& app, QWidget* parent, SkinnedButton<QCheckBox>* button)
    : SCheckBox(app, parent, button), button_(button) {
  button_->setAttribute(Qt::WA_Hover);
  button_->lookChanged = [this] { update(); };
}

bool SCheckBoxEx::SetAttribute(const QString& name, const QString& value) {
  if (look_.SetAttribute(name, value, app().definition())) return true;
  return SCheckBox::SetAttribute(name, value);
}

QSize SCheckBoxEx::sizeHint() const { return skin() ? skin()->StateSize() : SWindow::sizeHint(); }

ToggleLook::Input SCheckBoxEx::LookInput() const {
  return {IsChecked(), button_->IsHovered(), button_->isDown(), !isEnabled()};
}

int SCheckBoxEx::DrawState() const { return ToggleLook::FillState(skin().get(), LookInput()); }

void SCheckBoxEx::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintBackground(painter);
  look_.PaintIcon(painter, rect(), LookInput());
  DrawText(painter, TextRect());
}

}  // namespace keyloom::widgets
