#include "platform/AtomicFileWriter.h"

namespace keyloom::platform {
namespace {

IAtomicFileWriter*& CurrentWriter() {
  // The system's writer is never freed, like the models that use it.
  static IAtomicFileWriter* system = MakeAtomicFileWriter().release();
  static IAtomicFileWriter* current = system;
  return current;
}

}  // namespace

bool IAtomicFileWriter::CreateNew(const std::string&, std::string_view) {
  SetLastFileStatus({FileFault::Other, 0});
  return false;
}

IAtomicFileWriter& AtomicFileWriter() { return *CurrentWriter(); }

ScopedAtomicFileWriter::ScopedAtomicFileWriter(IAtomicFileWriter& writer) : previous_(CurrentWriter()) {
  CurrentWriter() = &writer;
}

ScopedAtomicFileWriter::~ScopedAtomicFileWriter() { CurrentWriter() = previous_; }

}  // namespace keyloom::platform
