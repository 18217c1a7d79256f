#pragma once

#include <QObject>
#include <string>

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
// A line not understood gets one line on standard error and changes nothing.
class VirtualKeyboardControl : public QObject {
  Q_OBJECT
 public:
  // Creates the pipe when it does not exist yet.
  VirtualKeyboardControl(VirtualKeyboard& keyboard, const std::string& pipePath, QObject* parent = nullptr);
  ~VirtualKeyboardControl() override;

  bool Listening() const { return fd_ >= 0; }

  // Carries out one command line; false when it is not understood or cannot
  // be carried out, with the reason in `error` when given.
  static bool Apply(VirtualKeyboard& keyboard, const std::string& line, std::string* error = nullptr);

 private:
  void OnReadable();

  VirtualKeyboard& keyboard_;
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::string pending_;
};

}  // namespace keyloom::platform
