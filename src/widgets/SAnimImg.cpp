#include "widgets/SAnimImg.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <limits>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/AttributeNumber.h"

namespace keyloom::widgets {

SAnimImg::SAnimImg(ui::UiApp& app, QWidget* parent) : SWindow(app, parent) { setAttribute(Qt::WA_Hover); }

SAnimImg::~SAnimImg() {
  if (timeline_ != nullptr) timeline_->UnregisterTimelineHandler(this);
}

bool SAnimImg::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("interval")) {
    interval_ = AttributeNumber(value);
  } else if (name == QLatin1String("autorun")) {
    autorun_ = AttributeNumber(value);
  } else if (name == QLatin1String("ani_in")) {
    enterSkin_ = app().definition().Skin(value);
  } else if (name == QLatin1String("ani_out")) {
    leaveSkin_ = app().definition().Skin(value);
  } else {
    if (name == QLatin1String("size")) {
      // Remembered for the desired size; the base places the widget.
      const QStringList parts = value.split(',');
      layoutWidth_ = std::max(0, parts.value(0).trimmed().toInt());
      layoutHeight_ = std::max(0, parts.value(1).trimmed().toInt());
    }
    return SWindow::SetAttribute(name, value);
  }
  return true;
}

void SAnimImg::OnLayoutLoaded() {
  if (autorun_ >= 0) {
    delayPending_ = true;
    // A delay too long to count in milliseconds waits as long as it can.
    constexpr int kLongestDelaySeconds = (std::numeric_limits<int>::max() - ui::Timeline::kTickMs) / 1000;
    delayLimit_ = std::min(autorun_, kLongestDelaySeconds) * 1000;
  }
  if (ui::SHostWnd* host = GetHostWnd(); host != nullptr && timeline_ == nullptr) {
    timeline_ = &host->timeline();
    timeline_->RegisterTimelineHandler(this);
  }
}

void SAnimImg::OnNextFrame() {
  if (mode_ != kRest) {
    frameTime_ += ui::Timeline::kTickMs;
    if (frameTime_ >= interval_) {
      FrameStep();
      frameTime_ = 0;
    }
  }
  if (delayPending_) {
    delayTime_ += ui::Timeline::kTickMs;
    if (delayTime_ >= delayLimit_) {
      delayTime_ = 0;
      frame_ = 0;
      delayPending_ = false;
      mode_ = kEnter;
    }
  }
}

void SAnimImg::FrameStep() {
  if (mode_ == kEnter) {
    if (!enterSkin_) return;
    ++frame_;
    if (frame_ < enterSkin_->states()) {
      update();
      return;
    }
    if (autorun_ < 0) {
      // The last enter frame stays while the mouse is over the picture.
      frame_ = enterSkin_->states() - 1;
      if (hoverCount_ <= 0 && leaveSkin_) {
        mode_ = kLeave;
        frame_ = 0;
        frameTime_ = 0;
      }
    } else {
      if (autorun_ == 0) frame_ = 0;
      mode_ = kRest;
      delayPending_ = true;
    }
    update();
  } else if (mode_ == kLeave) {
    if (!leaveSkin_) return;
    // The last leave frame stays on screen until something repaints.
    if (frame_ >= leaveSkin_->states() - 1) {
      mode_ = kRest;
      return;
    }
    ++frame_;
    update();
  }
}

bool SAnimImg::HoldsLastEnterFrame() const {
  return mode_ == kEnter && autorun_ < 0 && enterSkin_ && frame_ >= enterSkin_->states() - 1 &&
         (hoverCount_ > 0 || !leaveSkin_);
}

bool SAnimImg::IsAnimating() const {
  if (delayPending_) return true;
  if (mode_ == kRest) return false;
  // Without the skin of its sequence a mode changes nothing, and a held last
  // frame changes only through a hover or a leave.
  if (mode_ == kEnter) return enterSkin_ && !HoldsLastEnterFrame();
  return static_cast<bool>(leaveSkin_);
}

void SAnimImg::StartAnimating() {
  if (timeline_ != nullptr && IsAnimating()) timeline_->Wake();
}

QSize SAnimImg::sizeHint() const {
  if (!enterSkin_) return {0, 0};
  QSize size = enterSkin_->StateSize();
  if (layoutWidth_ > 0) size.setWidth(layoutWidth_);
  if (layoutHeight_ > 0) size.setHeight(layoutHeight_);
  return size;
}

void SAnimImg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (mode_ == kEnter && enterSkin_)
    enterSkin_->Draw(painter, rect(), frame_);
  else if (mode_ == kLeave && leaveSkin_)
    leaveSkin_->Draw(painter, rect(), frame_);
  else if (enterSkin_)
    enterSkin_->Draw(painter, rect(), 0);
}

void SAnimImg::enterEvent(QEnterEvent* event) {
  ++hoverCount_;
  mode_ = kEnter;
  frame_ = 0;
  frameTime_ = 0;
  delayTime_ = 0;
  update();
  StartAnimating();
  SWindow::enterEvent(event);
}

void SAnimImg::leaveEvent(QEvent* event) {
  // The leave sequence starts at the next frame step, not here.
  --hoverCount_;
  StartAnimating();
  SWindow::leaveEvent(event);
}

}  // namespace keyloom::widgets
