#include "widgets/STabPage2.h"

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/AttributeNumber.h"

namespace keyloom::widgets {

bool STabPage2::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("ani_in")) {
    enterSkin_ = app().definition().Skin(value);
  } else if (name == QLatin1String("ani_out")) {
    leaveSkin_ = app().definition().Skin(value);
  } else if (name == QLatin1String("iconindex")) {
    iconIndex_ = AttributeNumber(value);
  } else {
    return STabPage::SetAttribute(name, value);
  }
  return true;
}

void STabPage2::StartAnimation(Mode mode, int frameDurationMs) {
  mode_ = mode;
  frame_ = 0;
  countdown_ = frameDurationMs;
}

bool STabPage2::Advance(int elapsedMs, int frameDurationMs) {
  if (mode_ == kNone) return false;
  countdown_ -= elapsedMs;
  if (countdown_ > 0) return false;
  ++frame_;
  if (mode_ == kEntering) {
    // The entering frames stop on the last one and hold it while hovered.
    if (!enterSkin_)
      mode_ = kNone;
    else if (frame_ >= enterSkin_->states() - 1)
      frame_ = enterSkin_->states() - 1;
  } else if (!leaveSkin_ || frame_ >= leaveSkin_->states() - 1) {
    // The leave skin's last sub-image is never shown: the normal icon
    // comes back in its place.
    mode_ = kNone;
  }
  countdown_ = frameDurationMs;
  return true;
}

bool STabPage2::IsAnimating() const {
  if (mode_ == kEntering) return !enterSkin_ || frame_ < enterSkin_->states() - 1;
  return mode_ == kLeaving;
}

const ui::ImageSkin* STabPage2::ShownAnimationSkin() const {
  if (mode_ == kEntering) return enterSkin_.get();
  if (mode_ == kLeaving) return leaveSkin_.get();
  return nullptr;
}

}  // namespace keyloom::widgets
