#include <QElapsedTimer>
#include <QTest>

#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/Timeline.h"
#include "ui/toolkit/ToolkitFixture.h"

namespace keyloom::ui::test {
namespace {

// Animates for `framesLeft` ticks, then rests.
class CountingHandler : public ITimelineHandler {
 public:
  void OnNextFrame() override {
    ++frames;
    if (framesLeft > 0) --framesLeft;
  }
  bool IsAnimating() const override { return framesLeft > 0; }
  int frames = 0;
  int framesLeft = 0;
};

void RunEventsFor(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QTest::qWait(5);
}

using TimelineTest = ToolkitFixture;

TEST_F(TimelineTest, AnIdleWindowShownOrHiddenNeverTicks) {
  SHostWnd host(app_);
  CountingHandler idle;
  host.timeline().RegisterTimelineHandler(&idle);
  host.show();
  RunEventsFor(100);
  EXPECT_FALSE(host.timeline().IsRunning());
  host.hide();
  RunEventsFor(50);
  EXPECT_EQ(idle.frames, 0);
  host.timeline().UnregisterTimelineHandler(&idle);
}

TEST_F(TimelineTest, TicksWhileSomethingAnimatesOnAShownWindowThenStops) {
  SHostWnd host(app_);
  CountingHandler anim;
  anim.framesLeft = 3;
  host.timeline().RegisterTimelineHandler(&anim);
  EXPECT_FALSE(host.timeline().IsRunning());  // hidden: waits for the show
  host.show();
  EXPECT_TRUE(host.timeline().IsRunning());
  RunEventsFor(150);
  EXPECT_EQ(anim.frames, 3);
  EXPECT_FALSE(host.timeline().IsRunning());
  anim.framesLeft = 1;  // starts again when woken
  host.timeline().Wake();
  EXPECT_TRUE(host.timeline().IsRunning());
  host.hide();
  EXPECT_FALSE(host.timeline().IsRunning());
  host.timeline().UnregisterTimelineHandler(&anim);
}

TEST_F(TimelineTest, AHandlerLeavingDuringATickIsNotCalledAgain) {
  Timeline timeline;
  CountingHandler second;
  struct Leaver : ITimelineHandler {
    Timeline* timeline;
    ITimelineHandler* other;
    void OnNextFrame() override { timeline->UnregisterTimelineHandler(other); }
    bool IsAnimating() const override { return true; }
  } first;
  first.timeline = &timeline;
  first.other = &second;
  timeline.RegisterTimelineHandler(&first);
  timeline.RegisterTimelineHandler(&second);
  timeline.Tick();
  EXPECT_EQ(second.frames, 0);
}

}  // namespace
}  // namespace keyloom::ui::test
