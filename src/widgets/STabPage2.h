#pragma once

#include <memory>

#include "ui/toolkit/STabCtrl.h"

namespace keyloom::ui {
class ImageSkin;
}

namespace keyloom::widgets {

// A page of the animated tab control ("page2"). Besides its title it holds
// the frames its header's icon place plays: `ani_in` while the mouse comes
// over the header, `ani_out` after it has left; `iconIndex` picks its
// sub-image of the control's icon skin at rest (the header's index when
// absent).
//
// The page keeps its own animation state; the control steps it on the host
// window's timeline.
class STabPage2 : public ui::STabPage {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::STabPage, "page2")
 public:
  enum Mode { kNone = 0, kEntering = 1, kLeaving = 2 };

  STabPage2(ui::UiApp& app, QWidget* parent) : STabPage(app, parent) {}

  bool SetAttribute(const QString& name, const QString& value) override;

  // Starts the entering or leaving frames from frame 0.
  void StartAnimation(Mode mode, int frameDurationMs);
  // One timeline step of `elapsedMs`; true when the header must be redrawn.
  bool Advance(int elapsedMs, int frameDurationMs);
  // True while a step can still change what the header shows; a held last
  // entering frame changes only through a hover or a leave.
  bool IsAnimating() const;

  Mode mode() const { return mode_; }
  int frame() const { return frame_; }
  // The skin whose frame the icon place shows now; null when the header
  // shows its normal icon.
  const ui::ImageSkin* ShownAnimationSkin() const;
  // The icon's sub-image at rest; -1 when the layout gives none.
  int iconIndex() const { return iconIndex_; }

 private:
  Mode mode_ = kNone;
  int frame_ = 0;
  int countdown_ = 0;
  int iconIndex_ = -1;
  std::shared_ptr<ui::ImageSkin> enterSkin_;
  std::shared_ptr<ui::ImageSkin> leaveSkin_;
};

}  // namespace keyloom::widgets
