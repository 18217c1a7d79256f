#include "platform/linux/CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>

namespace keyloom::platform::linux_input {
namespace {

struct SplitCase {
  const char* name;
  const char* text;
  std::vector<std::string> expected;
};
std::ostream& operator<<(std::ostream& os, const SplitCase& c) { return os << c.name; }

const SplitCase kCases[] = {
    {"Empty_HasNoArguments", "", {}},
    {"OnlyBlanks_HasNoArguments", "  \t ", {}},
    {"Blanks_SeparateArguments", "-a  b\tc", {"-a", "b", "c"}},
    {"Quotes_GroupBlanks", "\"two words\" x", {"two words", "x"}},
    {"QuotesInsideWord_Join", "a\"b c\"d", {"ab cd"}},
    {"EmptyQuotes_AreAnEmptyArgument", "\"\" x", {"", "x"}},
    {"BackslashesNotBeforeQuote_AreLiteral", "C:\\dir\\file.txt", {"C:\\dir\\file.txt"}},
    {"EscapedQuote_IsLiteral", "say \\\"hi\\\"", {"say", "\"hi\""}},
    {"EvenBackslashesBeforeQuote_HalveAndQuote", "\"a\\\\\" b", {"a\\", "b"}},
    {"DoubledQuoteInsideQuotes_IsLiteral", "\"a\"\"b\"", {"a\"b"}},
    {"UnclosedQuote_RunsToTheEnd", "\"open ended", {"open ended"}},
};

class SplitArgumentsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgumentsTest, SplitsLikeAWindowsCommandLine) {
  EXPECT_EQ(SplitArguments(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitArgumentsTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloom::platform::linux_input
