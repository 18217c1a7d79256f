#pragma once

#include "ui/toolkit/SWrappedControl.h"

class QSlider;

namespace keyloom::ui {

// A slider ("sliderbar") wrapping QSlider:
//   <sliderbar name="..." min="0" max="4" value="2"/>
// Every position change the user makes, by dragging (on each step, not only
// at the release), clicking, the wheel or the keyboard, raises SliderPos
// with the new position; a position set by the program raises nothing.
class SSliderBar : public SWrappedControl {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWrappedControl, "sliderbar")
 public:
  SSliderBar(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;

  int GetValue() const;
  void SetValue(int value);
  void SetRange(int min, int max);
  int GetMin() const;
  int GetMax() const;

  QSlider* slider() const { return slider_; }

 private:
  QSlider* slider_;
};

}  // namespace keyloom::ui
