#pragma once

#include <functional>
#include <string>

namespace keyloom::ui {

// The toolkit's diagnostic log. Lines go to standard error unless a sink is
// set (tests set one to read what was logged).
void ToolkitLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

using ToolkitLogSink = std::function<void(const std::string& line)>;
// Replaces the sink; an empty function restores standard error. Returns the old one.
ToolkitLogSink SetToolkitLogSink(ToolkitLogSink sink);

}  // namespace keyloom::ui
