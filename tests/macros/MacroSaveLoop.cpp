// The program the kill-during-save test kills: loads macro.xml as keyloom
// does at start-up (which also clears what earlier killed saves left), says
// so with one byte on standard output, then saves the library over and over,
// flipping its first group's name between "A" and "B", until it is killed.
// With "--load-only" it ends after the load.
#include <unistd.h>

#include <cstring>

#include "macros/MacroLibrary.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  keyloom::MacroLibrary library;
  library.Load(argv[1]);
  if (argc > 2 && std::strcmp(argv[2], "--load-only") == 0) return 0;
  if (library.GroupCount() == 0) return 3;
  const char byte = 1;
  if (::write(STDOUT_FILENO, &byte, 1) != 1) return 4;
  for (;;) library.RenameGroup(0, library.GetGroup(0)->name == L"A" ? L"B" : L"A");
}
