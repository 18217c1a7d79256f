#pragma once

#include <QObject>
#include <QTimer>
#include <vector>

namespace keyloom::ui {

// Something that moves on a host window's timeline (an animated picture, a
// tab header's icon).
class ITimelineHandler {
 public:
  virtual ~ITimelineHandler() = default;
  // One tick; each counts as 10 ms.
  virtual void OnNextFrame() = 0;
  // True while the handler wants ticks. When it starts wanting them again it
  // calls Timeline::Wake.
  virtual bool IsAnimating() const = 0;
};

// A host window's 10 ms timeline. It ticks only while the window is shown
// and at least one registered handler is animating, so an idle window, shown
// or hidden, costs no wake-ups at all.
class Timeline : public QObject {
  Q_OBJECT
 public:
  static constexpr int kTickMs = 10;

  Timeline();

  void RegisterTimelineHandler(ITimelineHandler* handler);
  void UnregisterTimelineHandler(ITimelineHandler* handler);
  // A handler began to animate: start ticking if the window is shown.
  void Wake();
  // The host window was shown or hidden.
  void SetShown(bool shown);

  bool IsRunning() const { return timer_.isActive(); }
  // One tick now: every registered handler's frame, then the timer stops
  // when none animates any more. The timer calls it; tests call it as a
  // synthetic clock.
  void Tick();

 private:
  bool AnyAnimating() const;

  std::vector<ITimelineHandler*> handlers_;
  QTimer timer_;
  bool shown_ = false;
};

}  // namespace keyloom::ui
