#include "platform/linux/CommandLine.h"

namespace keyloom::platform::linux_input {

std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\') {
      size_t slashes = 0;
      while (i < text.size() && text[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < text.size() && text[i] == '"') {
        current.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          current += '"';
          ++i;
        }
      } else {
        current.append(slashes, '\\');
      }
      inArgument = true;
      continue;
    }
    if (c == '"') {
      // "" inside quotes is a literal quote, as the C runtime reads it.
      if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      inArgument = true;
      ++i;
      continue;
    }
    if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
      ++i;
      continue;
    }
    current += c;
    inArgument = true;
    ++i;
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

}  // namespace keyloom::platform::linux_input
