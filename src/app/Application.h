#pragma once

namespace keyloom {

// The program: start-up, the message loop and the orderly shutdown.
// Returns the exit code of the message loop, or 0 when another instance was
// running (it has been raised instead).
int RunKeyloom(int argc, char** argv);

}  // namespace keyloom
