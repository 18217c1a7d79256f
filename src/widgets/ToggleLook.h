#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class QPainter;

namespace keyloom::ui {
class ImageSkin;
class UiDefinition;
}  // namespace keyloom::ui

namespace keyloom::widgets {

// What a picture-style check or radio box ("checkex", "radioex") adds to its
// base: a skin that fills the whole box, an icon skin at a chosen place and
// a text that starts at a chosen offset.
//
// Layout attributes: iconSkin; iconPos="x,y" (decimal; a number that cannot
// be read leaves its coordinate as it was); textX, textY (decimal or "0x"
// hexadecimal, 0 when not a number).
class ToggleLook {
 public:
  struct Input {
    bool checked = false;
    bool hovered = false;
    bool pressed = false;
    bool disabled = false;
  };

  // Takes one of the attributes above (name in lower case); false otherwise.
  bool SetAttribute(const QString& name, const QString& value, const ui::UiDefinition& definition);

  // The fill skin's sub-image: pressed 2, else hovered 1, else checked the
  // last one, else 0.
  static int FillState(const ui::ImageSkin* fill, const Input& input);
  // The icon's eight-way state: unchecked normal 0, hovered 1, pressed 2,
  // disabled 3, checked 4 to 7 in the same order; disabled wins over
  // pressed, pressed over hovered.
  static int IconState(const Input& input);

  // `client` with its left edge moved by the icon's x, its width and the
  // text offset x, and its top edge by the icon's y and the text offset y.
  QRect TextRect(const QRect& client) const;
  void PaintIcon(QPainter& painter, const QRect& client, const Input& input) const;

  const ui::ImageSkin* iconSkin() const { return iconSkin_.get(); }

 private:
  std::shared_ptr<ui::ImageSkin> iconSkin_;
  QPoint iconPos_;
  int textX_ = 0;
  int textY_ = 0;
};

}  // namespace keyloom::widgets
