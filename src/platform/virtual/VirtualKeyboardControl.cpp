#include "platform/virtual/VirtualKeyboardControl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdio>
#include <sstream>

namespace keyloom::platform {
namespace {

bool Switch(const std::string& word, bool& on) {
  if (word == "on") on = true;
  else if (word == "off") on = false;
  else return false;
  return true;
}

}  // namespace

VirtualKeyboardControl::VirtualKeyboardControl(VirtualKeyboard& keyboard, const std::string& pipePath,
                                               QObject* parent)
    : QObject(parent), keyboard_(keyboard) {
  struct stat info {};
  if (stat(pipePath.c_str(), &info) != 0 && mkfifo(pipePath.c_str(), 0600) != 0) return;
  // Opened for writing too, so the pipe never reports end-of-file between
  // two writers and the notifier does not spin.
  fd_ = open(pipePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return;
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
}

VirtualKeyboardControl::~VirtualKeyboardControl() {
  delete notifier_;
  if (fd_ >= 0) close(fd_);
}

void VirtualKeyboardControl::OnReadable() {
  char buffer[512];
  ssize_t got;
  while ((got = read(fd_, buffer, sizeof buffer)) > 0) pending_.append(buffer, static_cast<size_t>(got));
  size_t end;
  while ((end = pending_.find('\n')) != std::string::npos) {
    const std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    std::string error;
    if (!line.empty() && !Apply(keyboard_, line, &error)) {
      std::fprintf(stderr, "virtual keyboard: %s\n", error.c_str());
    }
  }
}

bool VirtualKeyboardControl::Apply(VirtualKeyboard& keyboard, const std::string& line, std::string* error) {
  const auto fail = [error](std::string why) {
    if (error) *error = std::move(why);
    return false;
  };
  std::istringstream words(line);
  std::string command, argument, extra;
  words >> command;
  if (command == "down" || command == "up" || command == "tap") {
    // Key names may hold spaces ("Pad Enter"): the key is the rest of the line.
    std::string key;
    std::getline(words >> std::ws, key);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t' || key.back() == '\r')) key.pop_back();
    uint32_t code = 0;
    if (key.empty()) return fail("no key in \"" + line + "\"");
    if (!keyboard.FindKey(key, &code)) return fail("unknown key \"" + key + "\"");
    const bool typed = command == "tap" ? keyboard.TypeKey(code, true) && keyboard.TypeKey(code, false)
                                        : keyboard.TypeKey(code, command == "down");
    if (!typed) return fail("the keyboard is unplugged; \"" + line + "\" typed nothing");
    return true;
  }
  words >> argument >> extra;
  if (!extra.empty()) return fail("unknown command \"" + line + "\"");
  bool on = false;
  if (command == "unplug" && argument.empty()) {
    keyboard.Unplug();
  } else if (command == "plug" && argument.empty()) {
    keyboard.Plug();
  } else if (command == "replug" && argument.empty()) {
    keyboard.Unplug();
    keyboard.Plug();
  } else if (command == "release-writes" && argument.empty()) {
    keyboard.ReleaseHeldWrites();
  } else if (command == "firmware") {
    unsigned major = 0, minor = 0;
    char dot = 0, tail = 0;
    if (std::sscanf(argument.c_str(), "%u%c%u%c", &major, &dot, &minor, &tail) != 3 || dot != '.' ||
        major > 255 || minor > 255) {
      return fail("unknown command \"" + line + "\"");
    }
    keyboard.SetFirmwareVersion(static_cast<uint8_t>(major), static_cast<uint8_t>(minor));
  } else if (command == "fail-opens" && Switch(argument, on)) {
    keyboard.SetFailOpens(on);
  } else if (command == "fail-features" && Switch(argument, on)) {
    keyboard.SetFailFeatureTransfers(on);
  } else if (command == "hold-writes" && Switch(argument, on)) {
    keyboard.SetHoldWrites(on);
  } else {
    return fail("unknown command \"" + line + "\"");
  }
  return true;
}

}  // namespace keyloom::platform
