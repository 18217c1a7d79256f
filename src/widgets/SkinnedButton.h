#pragma once

#include <QAbstractButton>
#include <QEnterEvent>
#include <QEvent>
#include <functional>

namespace keyloom::widgets {

// One of Qt's own buttons (a QCheckBox or a QRadioButton) that its owner
// draws: the button paints nothing, takes clicks on its whole rectangle
// rather than only on its indicator and label, and tells its owner when its
// look changes. Qt keeps the input: Space, focus, the check state and what
// screen readers are told.
template <class QtButton>
class SkinnedButton : public QtButton {
 public:
  // The hover, pressed, check or enabled state changed: the owner repaints.
  std::function<void()> lookChanged;

  bool IsHovered() const { return hovered_; }

 protected:
  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
  void paintEvent(QPaintEvent*) override {}

  bool event(QEvent* event) override {
    const bool handled = QtButton::event(event);
    switch (event->type()) {
      case QEvent::Enter:
      case QEvent::HoverEnter:
        SetHovered(true);
        break;
      case QEvent::Leave:
      case QEvent::HoverLeave:
      case QEvent::Hide:
        SetHovered(false);
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::EnabledChange:
        if (lookChanged) lookChanged();
        break;
      default:
        break;
    }
    return handled;
  }

  void checkStateSet() override {
    QtButton::checkStateSet();
    if (lookChanged) lookChanged();
  }
  void nextCheckState() override {
    QtButton::nextCheckState();
    if (lookChanged) lookChanged();
  }

 private:
  void SetHovered(bool hovered) {
    if (hovered_ == hovered) return;
    hovered_ = hovered;
    if (lookChanged) lookChanged();
  }

  bool hovered_ = false;
};

}  // namespace keyloom::widgets
