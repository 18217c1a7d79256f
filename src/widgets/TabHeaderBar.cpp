#include "widgets/TabHeaderBar.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>

namespace keyloom::widgets {

TabHeaderBar::TabHeaderBar(QWidget* parent) : QTabBar(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  setUsesScrollButtons(false);
  setElideMode(Qt::ElideNone);
}

void TabHeaderBar::SetHeaderGeometry(QSize headerSize, int gap) {
  headerSize_ = headerSize.expandedTo(QSize(0, 0));
  gap_ = std::max(0, gap);
  // Setting the icon size marks Qt's tab layout stale, so the new sizes count.
  setIconSize(iconSize());
}

bool TabHeaderBar::Vertical() const {
  return shape() == RoundedWest || shape() == RoundedEast || shape() == TriangularWest || shape() == TriangularEast;
}

QSize TabHeaderBar::tabSizeHint(int index) const {
  const int gap = index > 0 ? gap_ : 0;
  return Vertical() ? QSize(headerSize_.width(), headerSize_.height() + gap)
                    : QSize(headerSize_.width() + gap, headerSize_.height());
}

QRect TabHeaderBar::HeaderRect(int index) const {
  if (index < 0 || index >= count()) return {};
  const QRect tab = tabRect(index);
  const int gap = index > 0 ? gap_ : 0;
  return Vertical() ? tab.adjusted(0, gap, 0, 0) : tab.adjusted(gap, 0, 0, 0);
}

void TabHeaderBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (paintHeaders) paintHeaders(painter);
}

bool TabHeaderBar::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
      SetHovered(tabAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
      break;
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
      SetHovered(tabAt(static_cast<QHoverEvent*>(event)->position().toPoint()));
      break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
    case QEvent::Hide:
      SetHovered(-1);
      break;
    default:
      break;
  }
  return QTabBar::event(event);
}

void TabHeaderBar::SetHovered(int index) {
  if (index == hovered_) return;
  const int from = hovered_;
  hovered_ = index;
  if (hoverChanged) hoverChanged(from, index);
  update();
}

}  // namespace keyloom::widgets
