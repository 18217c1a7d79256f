#pragma once

#include <QPixmap>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/toolkit/SWindow.h"
#include "widgets/CoordButton.h"
#include "widgets/ICoordButtonClickListener.h"

namespace keyloom::widgets {

// A picture of the keyboard turned into clickable keys ("cbimg"). The key
// regions come from a coordinate file; a hovered key shows its area from the
// hover picture, a checked key its area from the checked picture. Presses and
// releases go to one listener.
//
// Layout attributes: bg, chking, chked (pictures), crdxml (the coordinate
// file, relative to the program folder), type (1 single selection, 2 multiple
// selection, anything else: the widget never checks keys by itself).
class CoordButtonImage : public ui::SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::SWindow, "cbimg")
 public:
  // Stands for every key in SetButtonTip, SetButtonChecked and ToggleButtonChecked.
  static constexpr int32_t kAllButtons = 0x7FFFFFFF;
  static constexpr uint32_t kDefaultColour = 0xFFFFFF;

  CoordButtonImage(ui::UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void OnLayoutLoaded() override;

  // The listener is not owned; null removes it.
  void SetClickListener(ICoordButtonClickListener* listener) { listener_ = listener; }
  void SetButtonTip(int32_t id, const std::wstring& tip);
  void SetButtonChecked(int32_t id, int32_t checked);
  void ToggleButtonChecked(int32_t id);

  const std::vector<CoordButton>& buttons() const { return buttons_; }
  // The name of the first key with `id`; false when the picture has none.
  bool ButtonName(int32_t id, std::wstring* name) const;
  int32_t selectionType() const { return type_; }
  const QString& coordinateFile() const { return coordinateFile_; }
  const QPixmap& backgroundPicture() const { return background_; }
  // The hover and checked pictures are decoded when first drawn (most of a
  // session never shows them, and they are as large as the keyboard).
  const QPixmap& hoverPicture() const { return hover_.Get(app()); }
  const QPixmap& checkedPicture() const { return checked_.Get(app()); }

  // Appends the keys of a coordinate file (false when it cannot be read or
  // has no `positions` root; the keys stay as they were then).
  bool LoadCoordinates(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool LoadPicture(const QString& reference, QPixmap& target);
  QString CoordinateFilePath() const;
  // Index of the first key in list order that contains p; -1 when none does.
  int FirstButtonAt(const QPoint& p) const;
  int NotifyListener(int index, int direction, const QMouseEvent* event, const QPoint& p);

  QPixmap background_;
  // A picture known to be readable, decoded on first use.
  struct LazyPicture {
    QString reference;
    mutable QPixmap pixmap;
    mutable bool decoded = false;
    const QPixmap& Get(const ui::UiApp& app) const;
  };
  bool SetLazyPicture(const QString& reference, LazyPicture& target);

  LazyPicture hover_;
  LazyPicture checked_;
  std::vector<CoordButton> buttons_;
  int32_t type_ = 0;
  QString coordinateFile_;
  ICoordButtonClickListener* listener_ = nullptr;
};

}  // namespace keyloom::widgets
