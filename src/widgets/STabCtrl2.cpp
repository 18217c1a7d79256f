#include "widgets/STabCtrl2.h"

#include <QEvent>
#include <QPainter>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/AttributeNumber.h"
#include "widgets/STabPage2.h"
#include "widgets/TabHeaderBar.h"

namespace keyloom::widgets {
namespace {

enum HeaderState { kNormal = 0, kHovered = 1, kSelected = 2 };

}  // namespace

STabCtrl2::STabCtrl2(ui::UiApp& app, QWidget* parent)
    : STabCtrl(app, parent, new TabHeaderBar), headerBar_(static_cast<TabHeaderBar*>(tabBar())) {
  headerBar_->paintHeaders = [this](QPainter& painter) { PaintHeaders(painter); };
  headerBar_->hoverChanged = [this](int from, int to) {
    if (from >= 0) OnTabItemLeave(from);
    if (to >= 0) OnTabItemHover(to);
  };
  headerBar_->SetHeaderGeometry(QSize(tabWidth_, tabHeight()), interSize_);
}

STabCtrl2::~STabCtrl2() {
  if (timeline_ != nullptr) timeline_->UnregisterTimelineHandler(this);
}

bool STabCtrl2::SetAttribute(const QString& name, const QString& value) {
  const ui::UiDefinition& def = app().definition();
  if (name == QLatin1String("tabheadbgskin")) {
    headBgSkin_ = def.Skin(value);
  } else if (name == QLatin1String("tabskin")) {
    tabSkin_ = def.Skin(value);
  } else if (name == QLatin1String("tabinterskin")) {
    interSkin_ = def.Skin(value);
  } else if (name == QLatin1String("tabintersize")) {
    interSize_ = std::max(0, AttributeNumber(value));
  } else if (name == QLatin1String("tabalign")) {
    headerBar_->setShape(value.trimmed().compare(QLatin1String("left"), Qt::CaseInsensitive) == 0
                             ? QTabBar::RoundedWest
                             : QTabBar::RoundedNorth);
  } else if (name == QLatin1String("tabwidth")) {
    tabWidth_ = std::max(0, AttributeNumber(value));
  } else if (name == QLatin1String("iconskin")) {
    iconSkin_ = def.Skin(value);
  } else if (name == QLatin1String("icon-x")) {
    iconPos_.setX(AttributeNumber(value));
  } else if (name == QLatin1String("icon-y")) {
    iconPos_.setY(AttributeNumber(value));
  } else if (name == QLatin1String("colortabtext")) {
    textColours_[kNormal] = def.ResolveColor(value);
  } else if (name == QLatin1String("colortabtexthover")) {
    textColours_[kHovered] = def.ResolveColor(value);
  } else if (name == QLatin1String("colortabtextsel")) {
    textColours_[kSelected] = def.ResolveColor(value);
  } else {
    return STabCtrl::SetAttribute(name, value);
  }
  return true;
}

void STabCtrl2::OnLayoutLoaded() {
  headerBar_->SetHeaderGeometry(QSize(tabWidth_, tabHeight()), interSize_);
  STabCtrl::OnLayoutLoaded();
  if (ui::SHostWnd* host = GetHostWnd(); host != nullptr && timeline_ == nullptr) {
    timeline_ = &host->timeline();
    timeline_->RegisterTimelineHandler(this);
  }
}

bool STabCtrl2::HeadersInColumn() const { return headerBar_->shape() == QTabBar::RoundedWest; }

void STabCtrl2::LayoutChildren() {
  // A row of headers over the pages, or a column of them left of the pages.
  const bool column = HeadersInColumn();
  const int band = tabHeight() > 0 ? (column ? tabWidth_ : tabHeight()) : 0;
  headerBar_->setGeometry(column ? QRect(0, 0, band, height()) : QRect(0, 0, width(), band));
  const QRect pages = column ? rect().adjusted(band, 0, 0, 0) : rect().adjusted(0, band, 0, 0);
  for (int i = 0; i < GetItemCount(); ++i) {
    GetPage(i)->setGeometry(pages);
    GetPage(i)->LayoutChildren();
  }
}

STabPage2* STabCtrl2::GetPage2(int index) const { return qobject_cast<STabPage2*>(GetPage(index)); }

QRect STabCtrl2::HeaderRect(int index) const {
  return headerBar_->HeaderRect(index).translated(headerBar_->pos());
}

void STabCtrl2::OnTabItemHover(int index) { StartAnimation(index, STabPage2::kEntering); }

void STabCtrl2::OnTabItemLeave(int index) { StartAnimation(index, STabPage2::kLeaving); }

void STabCtrl2::StartAnimation(int index, int mode) {
  STabPage2* page = GetPage2(index);
  if (page == nullptr) return;
  page->StartAnimation(static_cast<STabPage2::Mode>(mode), kFrameDurationMs);
  headerBar_->update(headerBar_->HeaderRect(index));
  if (timeline_ != nullptr && page->IsAnimating()) timeline_->Wake();
}

void STabCtrl2::OnNextFrame() {
  for (int i = 0; i < GetItemCount(); ++i) {
    STabPage2* page = GetPage2(i);
    if (page != nullptr && page->Advance(ui::Timeline::kTickMs, kFrameDurationMs))
      headerBar_->update(headerBar_->HeaderRect(i));
  }
}

bool STabCtrl2::IsAnimating() const {
  for (int i = 0; i < GetItemCount(); ++i) {
    if (const STabPage2* page = GetPage2(i); page != nullptr && page->IsAnimating()) return true;
  }
  return false;
}

void STabCtrl2::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) headerBar_->update();
  STabCtrl::changeEvent(event);
}

void STabCtrl2::PaintHeaders(QPainter& painter) const {
  if (headBgSkin_) headBgSkin_->Draw(painter, headerBar_->rect(), 0);
  const bool column = HeadersInColumn();
  const int current = GetCurSel();
  for (int i = 0; i < GetItemCount(); ++i) {
    const int state = i == current ? kSelected : i == headerBar_->hoveredHeader() ? kHovered : kNormal;
    QRect rect = headerBar_->HeaderRect(i);
    // No separator touches the selected header: it is drawn widened over
    // the separator places on both of its sides instead.
    if (i > 0 && interSkin_ && i != current && i != current + 1) {
      const QRect previous = headerBar_->HeaderRect(i - 1);
      const QRect strip = column ? QRect(rect.left(), previous.bottom() + 1, rect.width(), interSize_)
                                 : QRect(previous.right() + 1, rect.top(), interSize_, rect.height());
      interSkin_->Draw(painter, strip, 0);
    }
    if (i == current && interSkin_)
      rect = column ? rect.adjusted(0, -interSize_, 0, interSize_) : rect.adjusted(-interSize_, 0, interSize_, 0);
    PaintHeader(painter, i, rect, state);
  }
  if (headerBar_->hasFocus() && current >= 0) {
    // Keyboard focus shows on the selected header, which the arrow keys move.
    painter.setPen(QPen(textColours_[kSelected], 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(headerBar_->HeaderRect(current).adjusted(1, 1, -2, -2));
  }
}

void STabCtrl2::PaintHeader(QPainter& painter, int index, const QRect& rect, int state) const {
  if (tabSkin_) tabSkin_->Draw(painter, rect, state);
  const QRect iconRect(rect.topLeft() + iconPos_, iconSkin_ ? iconSkin_->StateSize() : QSize());
  if (iconSkin_) {
    const STabPage2* page = GetPage2(index);
    if (const ui::ImageSkin* frames = page != nullptr ? page->ShownAnimationSkin() : nullptr)
      frames->Draw(painter, iconRect, page->frame());
    else
      iconSkin_->Draw(painter, iconRect, page != nullptr && page->iconIndex() >= 0 ? page->iconIndex() : index);
  }
  const QString title = headerBar_->tabText(index);
  if (title.isEmpty()) return;
  QRect textRect = rect;
  int align = Qt::AlignCenter;
  if (iconSkin_) {
    textRect.setLeft(iconRect.right() + 1 + 6);
    align = Qt::AlignLeft | Qt::AlignVCenter;
  }
  QColor colour = textColours_[state];
  if (!isEnabled()) colour.setAlpha(110);
  painter.setPen(colour);
  painter.setFont(font());
  painter.drawText(textRect, align, title);
}

}  // namespace keyloom::widgets
