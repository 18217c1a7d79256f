#include "platform/virtual/VirtualKeyboardControl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string_view>

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
  std::string why;
  fd_ = OpenPipe(pipePath, &why);
  if (fd_ < 0) {
    std::fprintf(stderr, "virtual keyboard: not listening on %s: %s\n", PrintableText(pipePath).c_str(),
                 why.c_str());
    return;
  }
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
}

VirtualKeyboardControl::~VirtualKeyboardControl() {
  delete notifier_;
  if (fd_ >= 0) close(fd_);
}

int VirtualKeyboardControl::OpenPipe(const std::string& path, std::string* why) {
  const auto fail = [why](std::string reason) {
    *why = std::move(reason);
    return -1;
  };
  // Whoever can write to the pipe types on the keyboard, so it is made for
  // its owner alone. Only a pipe is opened at all: opening a device node can
  // have effects of its own, a regular file would read as ready forever, and
  // an endless one (/dev/zero) would never stop coming.
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) {
    if (errno != ENOENT) return fail(std::strerror(errno));
    if (mkfifo(path.c_str(), 0600) != 0) return fail(std::string("cannot make it: ") + std::strerror(errno));
    if (lstat(path.c_str(), &info) != 0) return fail(std::strerror(errno));
  }
  if (!S_ISFIFO(info.st_mode)) return fail("it is not a named pipe");
  // Opened for writing too, so the pipe never reports end-of-file between
  // two writers and the notifier does not spin. O_NOFOLLOW: a link swapped
  // in since the look above is not followed.
  const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return fail(std::strerror(errno));
  // The checks that count are on what was opened, not on the name.
  const char* refused = nullptr;
  if (fstat(fd, &info) != 0) refused = "cannot examine it";
  else if (!S_ISFIFO(info.st_mode)) refused = "it is not a named pipe";
  else if (info.st_uid != geteuid()) refused = "it belongs to another user";
  else if ((info.st_mode & 077) != 0) refused = "others may write to it (chmod 600 makes it private)";
  if (refused) {
    close(fd);
    return fail(refused);
  }
  return fd;
}

void VirtualKeyboardControl::OnReadable() {
  const auto onLine = [this](std::string_view line) {
    std::string error;
    if (!line.empty() && !Apply(keyboard_, std::string(line), &error)) {
      std::fprintf(stderr, "virtual keyboard: %s\n", PrintableText(error).c_str());
    }
  };
  const auto onOverlong = [](std::string_view head) {
    std::fprintf(stderr, "virtual keyboard: ignored a line longer than %zu bytes (\"%s...\")\n",
                 ControlLineBuffer::kMaxLineBytes, PrintableText(head).c_str());
  };
  // A writer that never stops must not hold the event loop: a bounded bite
  // per wake-up, and the notifier fires again while more is waiting.
  char buffer[4096];
  for (int bite = 0; bite < 16; ++bite) {
    const ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got > 0) {
      lines_.Feed(std::string_view(buffer, static_cast<size_t>(got)), onLine, onOverlong);
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      // End of input (which this end's own write side rules out) or a read
      // error: either would wake the notifier again at once, for ever.
      std::fprintf(stderr, "virtual keyboard: stopped listening: %s\n",
                   got == 0 ? "end of input" : std::strerror(errno));
      notifier_->setEnabled(false);
      return;
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
    // "<major>.<minor>", each a byte; from_chars, unlike scanf, cannot overflow.
    uint8_t major = 0, minor = 0;
    const char* end = argument.data() + argument.size();
    const auto first = std::from_chars(argument.data(), end, major);
    const bool ok = first.ec == std::errc() && first.ptr != end && *first.ptr == '.' &&
                    std::from_chars(first.ptr + 1, end, minor).ec == std::errc() &&
                    std::from_chars(first.ptr + 1, end, minor).ptr == end;
    if (!ok) return fail("unknown command \"" + line + "\"");
    keyboard.SetFirmwareVersion(major, minor);
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
