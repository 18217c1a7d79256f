#include "kernel/guest/VirtualInput.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/uinput.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace keyloom::kernel_test {
namespace {

using namespace std::chrono_literals;

std::string NodeOfSysName(const std::string& sysname) {
  // /sys/devices/virtual/input/inputN/eventM
  const std::string dir = "/sys/devices/virtual/input/" + sysname;
  DIR* d = opendir(dir.c_str());
  if (!d) return {};
  std::string node;
  while (dirent* entry = readdir(d)) {
    if (std::strncmp(entry->d_name, "event", 5) == 0) node = std::string("/dev/input/") + entry->d_name;
  }
  closedir(d);
  return node;
}

}  // namespace

TestKeyboard::TestKeyboard(const std::string& name, int vid, int pid) {
  fd_ = open("/dev/uinput", O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return;
  ioctl(fd_, UI_SET_EVBIT, EV_KEY);
  ioctl(fd_, UI_SET_EVBIT, EV_MSC);
  ioctl(fd_, UI_SET_EVBIT, EV_LED);
  ioctl(fd_, UI_SET_MSCBIT, MSC_SCAN);
  for (int code = KEY_ESC; code <= KEY_F24; ++code) ioctl(fd_, UI_SET_KEYBIT, code);
  for (int led : {LED_NUML, LED_CAPSL, LED_SCROLLL}) ioctl(fd_, UI_SET_LEDBIT, led);
  uinput_setup setup{};
  setup.id.bustype = BUS_USB;
  setup.id.vendor = static_cast<__u16>(vid);
  setup.id.product = static_cast<__u16>(pid);
  std::snprintf(setup.name, sizeof setup.name, "%s", name.c_str());
  if (ioctl(fd_, UI_DEV_SETUP, &setup) != 0 || ioctl(fd_, UI_DEV_CREATE) != 0) {
    close(fd_);
    fd_ = -1;
    return;
  }
  char sysname[64] = {};
  if (ioctl(fd_, UI_GET_SYSNAME(sizeof sysname), sysname) >= 0) {
    syspath_ = std::string("/sys/devices/virtual/input/") + sysname;
    // devtmpfs makes the node as the device appears; give it a moment.
    for (int i = 0; i < 200 && node_.empty(); ++i) {
      node_ = NodeOfSysName(sysname);
      if (node_.empty() || access(node_.c_str(), R_OK) != 0) {
        node_.clear();
        std::this_thread::sleep_for(5ms);
      }
    }
  }
}

TestKeyboard::~TestKeyboard() {
  if (fd_ >= 0) {
    ioctl(fd_, UI_DEV_DESTROY);
    close(fd_);
  }
}

void TestKeyboard::Write(int type, int code, int value) {
  input_event event{};
  event.type = static_cast<__u16>(type);
  event.code = static_cast<__u16>(code);
  event.value = value;
  (void)!write(fd_, &event, sizeof event);
}

void TestKeyboard::Key(int code, int value) {
  Write(EV_MSC, MSC_SCAN, 0x70000 + code);
  Write(EV_KEY, code, value);
  Write(EV_SYN, SYN_REPORT, 0);
}

void TestKeyboard::Tap(int code) {
  Key(code, 1);
  Key(code, 0);
}

input_event TestKeyboard::NextLed(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  input_event event{};
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd_, POLLIN, 0};
    poll(&p, 1, 10);
    while (read(fd_, &event, sizeof event) == sizeof event) {
      if (event.type == EV_LED) return event;
    }
  }
  event = {};
  event.code = 0xFFFF;
  event.value = -1;
  return event;
}

NodeReader::NodeReader(const std::string& node) {
  fd_ = open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

NodeReader::~NodeReader() {
  if (fd_ >= 0) close(fd_);
}

bool NodeReader::Next(int type, std::chrono::milliseconds timeout, input_event* event) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    while (true) {
      const ssize_t got = read(fd_, event, sizeof *event);
      if (got == sizeof *event) {
        if (event->type == type) return true;
        continue;
      }
      if (got < 0 && errno == ENODEV) {
        gone_ = true;
        return false;
      }
      break;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    poll(&p, 1, static_cast<int>(left.count()));
  }
}

std::string NodeReader::KeysUntilQuiet(std::chrono::milliseconds quiet) {
  std::string out;
  input_event event{};
  while (Next(EV_KEY, quiet, &event)) {
    if (!out.empty()) out += ' ';
    out += (event.value == 0 ? '-' : '+') + std::to_string(event.code);
    if (event.value == 2) out += 'r';
  }
  return out;
}

std::string NodeReader::HeldKeys() const {
  unsigned char bits[KEY_MAX / 8 + 1] = {};
  if (ioctl(fd_, EVIOCGKEY(sizeof bits), bits) < 0) return "?";
  std::string out;
  for (int code = 0; code <= KEY_MAX; ++code) {
    if (!(bits[code / 8] & (1u << (code % 8)))) continue;
    if (!out.empty()) out += ' ';
    out += std::to_string(code);
  }
  return out;
}

bool NodeReader::Write(int type, int code, int value) {
  input_event event{};
  event.type = static_cast<__u16>(type);
  event.code = static_cast<__u16>(code);
  event.value = value;
  return write(fd_, &event, sizeof event) == sizeof event;
}

std::vector<std::string> NodesNamed(const std::string& name) {
  std::vector<std::string> nodes;
  DIR* d = opendir("/dev/input");
  if (!d) return nodes;
  while (dirent* entry = readdir(d)) {
    if (std::strncmp(entry->d_name, "event", 5) != 0) continue;
    const std::string node = std::string("/dev/input/") + entry->d_name;
    const int fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    char buffer[256] = {};
    if (ioctl(fd, EVIOCGNAME(sizeof buffer - 1), buffer) >= 0 && name == buffer) nodes.push_back(node);
    close(fd);
  }
  closedir(d);
  std::sort(nodes.begin(), nodes.end());
  return nodes;
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // A ticking timer wakes the waiting event loop to look at the condition.
  QTimer tick;
  tick.start(1);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

}  // namespace keyloom::kernel_test
