#include "ui/toolkit/SSliderBar.h"

#include <QSignalBlocker>
#include <QSlider>

namespace keyloom::ui {

SSliderBar::SSliderBar(UiApp& app, QWidget* parent)
    : SWrappedControl(app, parent), slider_(new QSlider(Qt::Horizontal, this)) {
  Wrap(slider_);
  slider_->setFocusPolicy(Qt::StrongFocus);
  slider_->setPageStep(1);
  // valueChanged while tracking: every step of a drag. The program's own
  // changes go through SetValue under a signal blocker.
  connect(slider_, &QSlider::valueChanged, this, [this](int value) { FireEvent(EventKind::SliderPos, value); });
}

bool SSliderBar::SetAttribute(const QString& name, const QString& value) {
  const QSignalBlocker blocker(slider_);
  if (name == QLatin1String("min")) {
    slider_->setMinimum(value.toInt());
  } else if (name == QLatin1String("max")) {
    slider_->setMaximum(value.toInt());
  } else if (name == QLatin1String("value")) {
    slider_->setValue(value.toInt());
  } else if (name == QLatin1String("vertical")) {
    slider_->setOrientation(value == QLatin1String("1") ? Qt::Vertical : Qt::Horizontal);
  } else {
    return SWrappedControl::SetAttribute(name, value);
  }
  return true;
}

int SSliderBar::GetValue() const { return slider_->value(); }

void SSliderBar::SetValue(int value) {
  const QSignalBlocker blocker(slider_);
  slider_->setValue(value);
}

void SSliderBar::SetRange(int min, int max) {
  const QSignalBlocker blocker(slider_);
  slider_->setRange(min, max);
}

int SSliderBar::GetMin() const { return slider_->minimum(); }
int SSliderBar::GetMax() const { return slider_->maximum(); }

}  // namespace keyloom::ui
