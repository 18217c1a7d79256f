#include "ui/toolkit/ToolkitLog.h"

#include <cstdarg>
#include <cstdio>

namespace keyloom::ui {
namespace {

ToolkitLogSink& Sink() {
  static ToolkitLogSink sink;
  return sink;
}

}  // namespace

void ToolkitLog(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (Sink()) {
    Sink()(buffer);
  } else {
    std::fprintf(stderr, "%s\n", buffer);
  }
}

ToolkitLogSink SetToolkitLogSink(ToolkitLogSink sink) {
  ToolkitLogSink old = std::move(Sink());
  Sink() = std::move(sink);
  return old;
}

}  // namespace keyloom::ui
