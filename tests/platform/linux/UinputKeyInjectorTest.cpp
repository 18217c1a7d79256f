// Which device an injected key takes: the routing of UinputKeyInjector over
// recording outputs in place of the clones and its own virtual keyboard.
#include "platform/linux/UinputKeyInjector.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/linux/RecordingKeyOutput.h"

namespace keyloom::platform::linux_input {
namespace {

std::vector<int> Range(int first, int last) {
  std::vector<int> codes;
  for (int code = first; code <= last; ++code) codes.push_back(code);
  return codes;
}

// Two keyboard interfaces: the main block (Esc to F12 and the modifiers of
// it, no media keys) and a media interface (mute, volume, and left Shift).
class FakeClones : public ICloneOutputs {
 public:
  std::vector<std::shared_ptr<KeyOutput>> CloneOutputs() const override {
    std::vector<std::shared_ptr<KeyOutput>> shown;
    for (int i : order) shown.push_back(i == 0 ? main : media);
    return shown;
  }
  std::shared_ptr<RecordingKeyOutput> main = std::make_shared<RecordingKeyOutput>(Range(1, 88));
  std::shared_ptr<RecordingKeyOutput> media =
      std::make_shared<RecordingKeyOutput>(std::vector<int>{42, 113, 114, 115});
  std::vector<int> order;  // which clones the hook holds, latest key's first
};

struct RouteCase {
  const char* label;
  // Separated by spaces: "hold:0,1" the hook holds these clones (0 main,
  // 1 media) in this order, "none" it holds none; "m+42"/"v-42" a key
  // passed on through the main/media clone; "+A0"/"-A0" an injected
  // key-down/up of the virtual key 0xA0.
  const char* script;
  const char* own;
  const char* main;
  const char* media;
};
std::ostream& operator<<(std::ostream& out, const RouteCase& c) { return out << c.label; }

class InjectorRoute : public testing::TestWithParam<RouteCase> {};

TEST_P(InjectorRoute, KeyGoesToTheDeviceThatSharesItsState) {
  const RouteCase& c = GetParam();
  FakeClones clones;
  auto ownOutput = std::make_unique<RecordingKeyOutput>(Range(1, 248));
  RecordingKeyOutput* own = ownOutput.get();
  {
    UinputKeyInjector injector(&clones, std::move(ownOutput));
    std::istringstream tokens(c.script);
    std::string token;
    while (tokens >> token) {
      if (token == "none") {
        clones.order.clear();
      } else if (token.rfind("hold:", 0) == 0) {
        clones.order.clear();
        for (char i : token.substr(5)) {
          if (i != ',') clones.order.push_back(i - '0');
        }
      } else if (token[0] == 'm' || token[0] == 'v') {
        input_event event{};
        event.type = EV_KEY;
        event.code = static_cast<uint16_t>(std::stoi(token.substr(2)));
        event.value = token[1] == '+' ? 1 : 0;
        (token[0] == 'm' ? clones.main : clones.media)->PassFrame({event});
      } else {
        const auto vk = static_cast<uint8_t>(std::stoi(token.substr(1), nullptr, 16));
        injector.KeybdEvent(vk, 0, token[0] == '-' ? KEYEVENTF_KEYUP : 0, kKeyloomExtraInfo);
      }
    }
    EXPECT_EQ(own->Frames(), c.own);
    EXPECT_EQ(clones.main->Frames(), c.main);
    EXPECT_EQ(clones.media->Frames(), c.media);
  }
}

// Virtual keys: 0x41 A (evdev 30), 0x10 Shift and 0xA0 left Shift (42),
// 0xAF volume up (115), 0x42 B (48).
INSTANTIATE_TEST_SUITE_P(
    UinputKeyInjector, InjectorRoute,
    testing::Values(
        RouteCase{"NoKeyboardHeld_OwnDevice", "none +41 -41", "+30 | -30", "", ""},
        RouteCase{"KeyboardHeld_ItsClone", "hold:0 +41 -41", "", "+30 | -30", ""},
        // The fault this rule mends: Shift held on the keyboard, an
        // assignment's Shift-down and Shift-up: the desktop's Shift ends up.
        RouteCase{"ShiftHeldOnKeyboard_InjectedDownIsAPress_InjectedUpReleasesIt",
                  "hold:0 m+42 +10 -10", "", "+42 | -42 | +42 | -42", ""},
        RouteCase{"ShiftHeldOnKeyboard_InjectedUpReleasesIt", "hold:0 m+42 -A0", "", "+42 | -42",
                  ""},
        RouteCase{"CloneLacksTheKey_NextCloneThatHasIt", "hold:0,1 +AF -AF", "", "", "+115 | -115"},
        RouteCase{"NoCloneHasTheKey_OwnDevice", "hold:0 +AF -AF", "+115 | -115", "", ""},
        RouteCase{"LatestKeyboardFirst", "hold:1,0 +10 -10", "", "", "+42 | -42"},
        // Held on the other interface: the key-up goes where the key is down,
        // not to the latest keyboard.
        RouteCase{"HeldOnAnotherClone_UpGoesThere", "hold:1,0 m+42 -10", "", "+42 | -42", ""},
        RouteCase{"PressedOnOwnDevice_ThenKeyboardTaken_UpStillOwnDevice", "none +42 hold:0 -42",
                  "+48 | -48", "", ""},
        RouteCase{"UpOfAKeyHeldNowhere_SendsNothing", "hold:0 -41 none -41", "", "", ""},
        RouteCase{"UnknownVirtualKey_SendsNothing", "hold:0 +FF -FF", "", "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

// Its own device goes with the injector; this one leaves its frames behind.
class KeptOutput : public RecordingKeyOutput {
 public:
  KeptOutput(const std::vector<int>& codes, std::string* kept)
      : RecordingKeyOutput(codes), kept_(kept) {}
  ~KeptOutput() override { *kept_ = Frames(); }

 private:
  std::string* kept_;
};

TEST(UinputKeyInjector, Destroyed_ReleasesWhatItsOwnDeviceHolds_LeavesTheClonesAlone) {
  FakeClones clones;
  std::string own;
  {
    UinputKeyInjector injector(&clones, std::make_unique<KeptOutput>(Range(1, 248), &own));
    injector.KeybdEvent(0xAF, 0, 0, kKeyloomExtraInfo);  // own device
    clones.order = {0};
    injector.KeybdEvent(0x41, 0, 0, kKeyloomExtraInfo);  // main clone
  }
  EXPECT_EQ(own, "+115 | -115");
  EXPECT_EQ(clones.main->Frames(), "+30");
}

TEST(UinputKeyInjector, MapVirtualKey_GivesSetOneScanCodes) {
  UinputKeyInjector injector;
  EXPECT_EQ(injector.MapVirtualKey(0x41, MAPVK_VK_TO_VSC), 0x1Eu);
  EXPECT_EQ(injector.MapVirtualKey(0x41, 1), 0u);
}

}  // namespace
}  // namespace keyloom::platform::linux_input
