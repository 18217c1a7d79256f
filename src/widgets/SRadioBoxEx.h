#pragma once

#include "ui/toolkit/SCheckBox.h"
#include "widgets/ToggleLook.h"

class QRadioButton;

namespace keyloom::widgets {

template <class QtButton>
class SkinnedButton;

// A picture-style radio box ("radioex"): the toolkit's radio box drawn by its
// skins instead of Qt's indicator. The `skin` fills the whole box (pressed,
// else hovered, else checked: its last sub-image, else its first), the icon
// skin sits at `iconPos`, and the text starts after the icon, moved by
// `textX`/`textY` (see ToggleLook). No focus mark is drawn.
//
// Qt's own radio box still takes the input, over the whole box: a click or
// Space toggles it and raises Command; SetCheck by the program raises nothing.
class SRadioBoxEx : public ui::SRadioBox {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::SRadioBox, "radioex")
 public:
  SRadioBoxEx(ui::UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  // One sub-image of the fill skin, or the plain widget's size without one;
  // the text does not count.
  QSize sizeHint() const override;
  QRect TextRect() const { return look_.TextRect(rect()); }

 protected:
  int DrawState() const override;
  void paintEvent(QPaintEvent* event) override;

 private:
  SRadioBoxEx(ui::UiApp& app, QWidget* parent, SkinnedButton<QRadioButton>* button);
  ToggleLook::Input LookInput() const;

  SkinnedButton<QRadioButton>* button_;
  ToggleLook look_;
};

}  // namespace keyloom::widgets
