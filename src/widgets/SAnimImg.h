#pragma once

#include <memory>

#include "ui/toolkit/SWindow.h"
#include "ui/toolkit/Timeline.h"

namespace keyloom::ui {
class ImageSkin;
}

namespace keyloom::widgets {

// A picture that plays a short frame animation ("anmimg"): the "enter"
// sequence when the mouse comes over it (or by itself every few seconds)
// and the "leave" sequence after the mouse has gone. The frames are the
// sub-images of two skins; at rest it shows the enter skin's first one.
//
// Layout attributes: interval (ms each frame stays, 50), autorun (-1: play
// on hover only; 0 or more: play the enter sequence by itself that many
// seconds after the previous run ended), ani_in and ani_out (the skins).
// Numbers are decimal or "0x" hexadecimal.
//
// It moves on its host window's timeline, counting 10 ms a tick, and asks
// for ticks only while something can change, so a picture at rest costs its
// window no wake-ups.
class SAnimImg : public ui::SWindow, public ui::ITimelineHandler {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::SWindow, "anmimg")
 public:
  enum Mode { kRest = 0, kEnter = 1, kLeave = 2 };

  SAnimImg(ui::UiApp& app, QWidget* parent);
  ~SAnimImg() override;

  bool SetAttribute(const QString& name, const QString& value) override;
  void OnLayoutLoaded() override;

  void OnNextFrame() override;
  bool IsAnimating() const override;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void FrameStep();
  void StartAnimating();
  // Holding the last enter frame while nothing can end the hold but a
  // hover or a leave, which wake the timeline themselves.
  bool HoldsLastEnterFrame() const;

  int interval_ = 50;
  int autorun_ = -1;
  int delayLimit_ = 0;
  bool delayPending_ = false;
  int hoverCount_ = 0;
  int mode_ = kRest;
  int frame_ = 0;
  int frameTime_ = 0;
  int delayTime_ = 0;
  std::shared_ptr<ui::ImageSkin> enterSkin_;
  std::shared_ptr<ui::ImageSkin> leaveSkin_;
  // The layout's explicit width and height; 0 where it gives none.
  int layoutWidth_ = 0;
  int layoutHeight_ = 0;
  ui::Timeline* timeline_ = nullptr;
};

}  // namespace keyloom::widgets
