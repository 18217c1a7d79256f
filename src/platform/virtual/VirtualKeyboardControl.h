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
class VirtualKeyboardControl : public QObject {
  Q_OBJECT
 public:
  // Creates the pipe when it does not exist yet.
  VirtualKeyboardControl(VirtualKeyboard& keyboard, const std::string& pipePath, QObject* parent = nullptr);
  ~VirtualKeyboardControl() override;

  bool Listening() const { return fd_ >= 0; }

  // Carries out one command line; false when it is not understood.
  static bool Apply(VirtualKeyboard& keyboard, const std::string& line);

 private:
  void OnReadable();

  VirtualKeyboard& keyboard_;
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::string pending_;
};

}  // namespace keyloom::platform
