#include "actions/HeldKeyTracker.h"

#include <gtest/gtest.h>

#include "platform/test/KeyTraffic.h"
#include "platform/test/RecordingInjector.h"

namespace keyloom {
namespace {

using platform::KEYEVENTF_EXTENDEDKEY;
using platform::KEYEVENTF_KEYUP;
using platform::kKeyloomExtraInfo;

TEST(HeldKeyTracker, ReleaseAll_ReleasesWhatIsStillDown_LastPressedFirst) {
  platform::RecordingInjector injector;
  HeldKeyTracker keys(&injector);
  keys.KeybdEvent(0xA2, 0x1D, 0, kKeyloomExtraInfo);
  keys.KeybdEvent(0x5B, 0x5B, KEYEVENTF_EXTENDEDKEY, kKeyloomExtraInfo);
  keys.KeybdEvent('A', 0x1E, 0, kKeyloomExtraInfo);
  keys.KeybdEvent('A', 0x1E, KEYEVENTF_KEYUP, kKeyloomExtraInfo);
  keys.KeybdEvent('A', 0x1E, KEYEVENTF_KEYUP, kKeyloomExtraInfo);  // an up too many is harmless

  EXPECT_EQ(keys.ReleaseAll(), 2);
  EXPECT_EQ(platform::FormatInjected(injector.Events()),
            "+CtrlLeft +WinLeft:x +A -A -A -WinLeft:x -CtrlLeft");
  EXPECT_TRUE(injector.HeldKeys().empty());
  EXPECT_EQ(keys.ReleaseAll(), 0);
}

}  // namespace
}  // namespace keyloom
