#pragma once

#include <string>
#include <vector>

namespace keyloom::platform::linux_input {

// Splits the argument text of a function-key action the way a Windows
// program's start-up code splits its command line: blanks separate
// arguments, double quotes group blanks into one argument and are removed,
// 2n backslashes before a quote are n backslashes and the quote groups,
// 2n+1 backslashes before a quote are n backslashes and a literal quote, and
// backslashes anywhere else are literal (so Windows-style paths survive).
std::vector<std::string> SplitArguments(const std::string& text);

}  // namespace keyloom::platform::linux_input
