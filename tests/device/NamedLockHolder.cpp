// Helper process for the lock tests: takes a named operation lock, says
// "held", keeps it for the given milliseconds, creates the marker file and
// only then lets the lock go.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "device/NamedOperationLock.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  keyloom::NamedOperationLock lock(argv[1]);
  std::printf("held\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
  std::ofstream(argv[3]) << "released";
  return 0;
}
