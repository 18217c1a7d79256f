#pragma once

#include <linux/input.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Virtual input devices for the guest tests, made through the real kernel's
// uinput, and a reader for any event node.
namespace keyloom::kernel_test {

// The identifiers the tests configure keyloom with.
inline constexpr int kSampleVid = 0x1a2b;
inline constexpr int kSamplePid = 0x0001;

// A uinput keyboard: the main block, navigation, keypad, F-keys, modifiers,
// media keys, and the three lock LEDs, with the given input id.
class TestKeyboard {
 public:
  TestKeyboard(const std::string& name, int vid, int pid);
  ~TestKeyboard();
  TestKeyboard(const TestKeyboard&) = delete;
  TestKeyboard& operator=(const TestKeyboard&) = delete;

  bool Ok() const { return fd_ >= 0 && !node_.empty(); }
  const std::string& Node() const { return node_; }
  const std::string& SysPath() const { return syspath_; }

  // One key event in a frame of its own (MSC_SCAN, EV_KEY, SYN_REPORT), as
  // a USB keyboard sends it.
  void Key(int code, int value);
  // "Tap": down and up.
  void Tap(int code);

  // The next LED event keloom writes back to the device; -1 code on time-out.
  input_event NextLed(std::chrono::milliseconds timeout);

 private:
  void Write(int type, int code, int value);
  int fd_ = -1;
  std::string node_;
  std::string syspath_;
};

// Reads one event node without grabbing it.
class NodeReader {
 public:
  explicit NodeReader(const std::string& node);
  ~NodeReader();
  NodeReader(const NodeReader&) = delete;
  NodeReader& operator=(const NodeReader&) = delete;

  bool Ok() const { return fd_ >= 0; }
  // The next event of `type` (EV_KEY, EV_LED...), waiting up to `timeout`;
  // false on time-out or when the device went away (then `gone` is set).
  bool Next(int type, std::chrono::milliseconds timeout, input_event* event);
  // Key events as "+30 -30 +30r" text, until `quiet` passes without one.
  std::string KeysUntilQuiet(std::chrono::milliseconds quiet);
  // The keys the device holds down now, by the kernel's key state, as
  // "30 48" text (empty: nothing is held).
  std::string HeldKeys() const;
  // Writes an event to the device (an LED change).
  bool Write(int type, int code, int value);
  bool Gone() const { return gone_; }

 private:
  int fd_ = -1;
  bool gone_ = false;
};

// Event nodes whose device name is `name`, in /dev/input order.
std::vector<std::string> NodesNamed(const std::string& name);

// Waits (pumping the Qt event loop) until `condition` holds; false after
// `timeout`.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace keyloom::kernel_test
