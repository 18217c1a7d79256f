#pragma once

#include <QTabBar>
#include <functional>

namespace keyloom::widgets {

// Qt's tab bar with headers of a fixed size and a gap between them, painted
// by its owner. Qt keeps the input: clicks, arrow keys, focus and what
// screen readers are told; the owner learns which header the mouse is over.
class TabHeaderBar : public QTabBar {
 public:
  explicit TabHeaderBar(QWidget* parent = nullptr);

  // Every header's size and the gap before each header but the first.
  void SetHeaderGeometry(QSize headerSize, int gap);
  // A header's own rectangle, without the gap before it; empty when out of range.
  QRect HeaderRect(int index) const;
  // The header under the mouse; -1 for none.
  int hoveredHeader() const { return hovered_; }

  // Draws the headers in place of Qt's style.
  std::function<void(QPainter&)> paintHeaders;
  // The mouse moved from one header (-1: none) to another.
  std::function<void(int from, int to)> hoverChanged;

 protected:
  QSize tabSizeHint(int index) const override;
  QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool Vertical() const;
  void SetHovered(int index);

  QSize headerSize_{80, 32};
  int gap_ = 0;
  int hovered_ = -1;
};

}  // namespace keyloom::widgets
