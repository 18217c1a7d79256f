#pragma once

#include <QColor>
#include <memory>

#include "ui/toolkit/STabCtrl.h"
#include "ui/toolkit/Timeline.h"

namespace keyloom::ui {
class ImageSkin;
}

namespace keyloom::widgets {

class STabPage2;
class TabHeaderBar;

// The animated tab control ("tabctrl2"): the toolkit's tab control with
// headers it draws itself, a background behind the header row, separators
// that keep clear of the selected header, and in each header's icon place
// a short frame animation while the mouse comes over the header and after
// it leaves (the frames are its page's, see STabPage2). Only "page2"
// children make pages.
//
// Layout attributes besides the tab control's:
//   tabHeadBgSkin  drawn over the whole header row, first sub-image
//   tabSkin        each header: normal, hover, selected
//   tabInterSkin, tabInterSize  the separator and the gap it fills between headers
//   tabAlign       "top" (a row, default) or "left" (a column)
//   tabWidth       each header's width (tabHeight is its height)
//   iconSkin, icon-x, icon-y    the headers' icons and where they sit in a header
//   colorTabText, colorTabTextHover, colorTabTextSel  the titles' colours
//
// Qt's tab bar keeps the input (clicks, arrow keys, focus, screen readers).
// The animation moves on the host window's timeline and asks for ticks only
// while a frame can change.
class STabCtrl2 : public ui::STabCtrl, public ui::ITimelineHandler {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::STabCtrl, "tabctrl2")
 public:
  // Each animation frame stays this long; no attribute changes it.
  static constexpr int kFrameDurationMs = 50;

  STabCtrl2(ui::UiApp& app, QWidget* parent);
  ~STabCtrl2() override;

  bool SetAttribute(const QString& name, const QString& value) override;
  void OnLayoutLoaded() override;
  void LayoutChildren() override;

  void OnNextFrame() override;
  bool IsAnimating() const override;

  STabPage2* GetPage2(int index) const;
  // Header `index`'s rectangle in this control; empty when out of range.
  QRect HeaderRect(int index) const;

 protected:
  const char* PageElementName() const override { return "page2"; }
  void changeEvent(QEvent* event) override;

 private:
  void OnTabItemHover(int index);
  void OnTabItemLeave(int index);
  void StartAnimation(int index, int mode);
  void PaintHeaders(QPainter& painter) const;
  void PaintHeader(QPainter& painter, int index, const QRect& rect, int state) const;
  bool HeadersInColumn() const;

  TabHeaderBar* headerBar_;
  std::shared_ptr<ui::ImageSkin> headBgSkin_;
  std::shared_ptr<ui::ImageSkin> tabSkin_;
  std::shared_ptr<ui::ImageSkin> interSkin_;
  std::shared_ptr<ui::ImageSkin> iconSkin_;
  int interSize_ = 0;
  int tabWidth_ = 80;
  QPoint iconPos_;
  QColor textColours_[3] = {QColor(0xA9, 0xAF, 0xBC), QColor(0xE6, 0xE8, 0xEE), QColor(0x5F, 0xE3, 0xC4)};
  ui::Timeline* timeline_ = nullptr;
};

}  // namespace keyloom::widgets
