// The key-traffic notation of the test backends: a token it does not know
// makes the whole script an error, never a shorter scenario.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/KeyInjector.h"
#include "platform/test/KeyTraffic.h"
#include "platform/test/ScriptedHookSource.h"

namespace keyloom::platform {
namespace {

struct BadTraffic {
  const char* text;
  const char* token;  // what the error must name
};

std::ostream& operator<<(std::ostream& out, const BadTraffic& c) { return out << '"' << c.text << '"'; }

class KeyTrafficErrors : public ::testing::TestWithParam<BadTraffic> {};

TEST_P(KeyTrafficErrors, UnknownTokenFailsTheWholeScriptAndIsNamed) {
  const KeyTrafficParse parsed = ParseKeyTraffic(GetParam().text);
  EXPECT_FALSE(parsed.ok());
  EXPECT_TRUE(parsed.items.empty());
  EXPECT_NE(parsed.error.find(std::string("\"") + GetParam().token + "\""), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(Tokens, KeyTrafficErrors,
                         ::testing::Values(BadTraffic{"+A +Shft -A", "+Shft"},      // misspelt key
                                           BadTraffic{"+A -a", "-a"},               // names are case-sensitive
                                           BadTraffic{"+A:q -A", "+A:q"},           // unknown flag
                                           BadTraffic{"+A: -A", "+A:"},             // empty flags
                                           BadTraffic{"+A 15x -A", "15x"},          // neither event nor wait
                                           BadTraffic{"+A 1.5ms -A", "1.5ms"},      // wait not a whole number
                                           BadTraffic{"+A ms", "ms"},
                                           BadTraffic{"+A 2147483648ms -A", "2147483648ms"},  // past int
                                           BadTraffic{"4294967295ms", "4294967295ms"},
                                           BadTraffic{"A -A", "A"},                 // sign missing
                                           BadTraffic{"+ -A", "+"},                 // key missing
                                           BadTraffic{"+F25", "+F25"}));

TEST(KeyTraffic, ParsesEventsWaitsAndFlags) {
  const KeyTrafficParse parsed = ParseKeyTraffic("  +ShiftLeft:x 150ms  -0x41:sm ~F5");
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  ASSERT_EQ(parsed.items.size(), 4u);
  EXPECT_EQ(parsed.items[0].message, WM_KEYDOWN);
  EXPECT_EQ(parsed.items[0].event.flags, LLKHF_EXTENDED);
  EXPECT_EQ(parsed.items[1].waitMs, 150);
  EXPECT_EQ(parsed.items[2].message, WM_SYSKEYUP);
  EXPECT_EQ(parsed.items[2].event.vkCode, 0x41u);
  EXPECT_EQ(parsed.items[2].event.dwExtraInfo, kKeyloomExtraInfo);
  EXPECT_EQ(parsed.items[3].message, 0u);
  EXPECT_TRUE(ParseKeyTraffic("").ok());
}

struct RoundTrip {
  const char* text;
  const char* formatted;  // what the formatter writes for what was parsed
};

std::ostream& operator<<(std::ostream& out, const RoundTrip& c) { return out << '"' << c.text << '"'; }

class KeyTrafficRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// A failing test prints its traffic formatted; what it prints must be the
// traffic that ran, or the message misleads.
TEST_P(KeyTrafficRoundTrip, FormattedTrafficParsesBackToTheSameTraffic) {
  const KeyTrafficParse parsed = ParseKeyTraffic(GetParam().text);
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  std::string formatted;
  for (const KeyTrafficItem& item : parsed.items) {
    formatted += (formatted.empty() ? "" : " ") + FormatKeyTrafficItem(item);
  }
  EXPECT_EQ(formatted, GetParam().formatted);
  const KeyTrafficParse again = ParseKeyTraffic(formatted);
  ASSERT_TRUE(again.ok()) << again.error;
  ASSERT_EQ(again.items.size(), parsed.items.size());
  for (size_t i = 0; i < parsed.items.size(); ++i) {
    EXPECT_EQ(again.items[i].waitMs, parsed.items[i].waitMs) << i;
    EXPECT_EQ(again.items[i].message, parsed.items[i].message) << i;
    EXPECT_EQ(again.items[i].event.vkCode, parsed.items[i].event.vkCode) << i;
    EXPECT_EQ(again.items[i].event.scanCode, parsed.items[i].event.scanCode) << i;
    EXPECT_EQ(again.items[i].event.flags, parsed.items[i].event.flags) << i;
    EXPECT_EQ(again.items[i].event.dwExtraInfo, parsed.items[i].event.dwExtraInfo) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, KeyTrafficRoundTrip,
                         ::testing::Values(RoundTrip{"+ShiftLeft +A -A -ShiftLeft", "+ShiftLeft +A -A -ShiftLeft"},
                                           RoundTrip{"+0x41:rmpix 2147483647ms", "+A:xipmr 2147483647ms"},
                                           RoundTrip{"-F24:s", "-F24:s"},
                                           RoundTrip{"~0x0:s ~F5", "~0x00:s ~F5"}));  // Alt flag alone

TEST(ScriptedHookSourceFeed, BadScriptDeliversNothingAndGoesToTheErrorHandler) {
  ScriptedHookSource source;
  int calls = 0;
  ASSERT_TRUE(source.Install(WH_KEYBOARD_LL, [&calls](int, uint32_t, KBDLLHOOKSTRUCT*) {
    ++calls;
    return intptr_t{0};
  }));
  std::string reported;
  source.SetTrafficErrorHandler([&reported](const std::string& error) { reported = error; });
  const ScriptedHookSource::FeedResult result = source.Feed("+A +Shft -A");
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(result.passed.empty());
  EXPECT_EQ(result.error, reported);
  EXPECT_NE(reported.find("\"+Shft\""), std::string::npos) << reported;
  EXPECT_NE(reported.find("+A +Shft -A"), std::string::npos) << "names the script too: " << reported;
}

TEST(ScriptedHookSourceFeedDeathTest, BadScriptWithoutHandlerAbortsWithTheToken) {
  ScriptedHookSource source;
  EXPECT_DEATH(source.Feed("+A +Shft -A"), "unknown key in token \"\\+Shft\"");
}

}  // namespace
}  // namespace keyloom::platform
