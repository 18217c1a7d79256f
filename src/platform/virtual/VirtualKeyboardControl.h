#pragma once

#include <QObject>
#include <string>

#include "platform/virtual/ControlLineBuffer.h"
#include "platform/virtual/VirtualKeyboard.h"

class QSocketNotifier;

namespace keyloom::platform {

// Lets a person or a script outside the process handle the virtual keyboard
// while keyloom runs: commands written one per line into a named pipe
// (KEYLOOM_VIRTUAL_KEYBOARD_CONTROL), e.g. `echo unplug > "$pipe"`.
//   unplug | plug | replug
//   firmware <major>.<minor>
//   fail-opens on|off    fail-features on|off    hold-writes on|off
//   release-writes
//   down <key> | up <key> | tap <key>   (a name as the recorder shows it, in
//                                        any letter case, or a virtual-key
//                                        number, decimal or 0x hex)
// A line not understood gets one line on standard error and changes nothing;
// so does a line longer than ControlLineBuffer::kMaxLineBytes, which is not
// carried out at all.
//
// The pipe must be the user's own: a named pipe that belongs to them and
// that nobody else may open. Anything else (a regular file, a device, a
// link, a pipe others may write to) is refused with one line on standard
// error, and the control does not listen.
class VirtualKeyboardControl : public QObject {
  Q_OBJECT
 public:
  // Creates the pipe (mode 0600) when it does not exist yet.
  VirtualKeyboardControl(VirtualKeyboard& keyboard, const std::string& pipePath, QObject* parent = nullptr);
  ~VirtualKeyboardControl() override;

  bool Listening() const { return fd_ >= 0; }

  // Carries out one command line; false when it is not understood or cannot
  // be carried out, with the reason in `error` when given.
  static bool Apply(VirtualKeyboard& keyboard, const std::string& line, std::string* error = nullptr);

  // Opens (making it first when missing) the control pipe at `path` for
  // reading without blocking; -1 with the reason in `why` when the path is
  // not a named pipe of this user's alone.
  static int OpenPipe(const std::string& path, std::string* why);

 private:
  void OnReadable();

  VirtualKeyboard& keyboard_;
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  ControlLineBuffer lines_;
};

}  // namespace keyloom::platform
