#pragma once

#include <linux/input.h>

#include <bitset>
#include <memory>
#include <mutex>
#include <vector>

namespace keyloom::platform::linux_input {

// One uinput keyboard that keyloom writes to, with the key state the desktop
// sees on it. Two threads write to a keyboard's clone (the hook's reader
// passes the real keys on, the worker plays macros into it): each frame, up
// to and including its SYN_REPORT, is written under this object's lock, so
// no frame is split by another thread's.
//
// The kernel ignores a key-down of a key the device already holds (and an
// auto-repeat does not count as a press on the desktop), so Press on a held
// key first releases it in a frame of its own: the desktop sees a fresh
// press, as it would on a real keyboard.
class KeyOutput {
 public:
  virtual ~KeyOutput() = default;
  KeyOutput(const KeyOutput&) = delete;
  KeyOutput& operator=(const KeyOutput&) = delete;

  // Whether the device can send `code` at all.
  bool Has(int code) const;
  // Whether the device holds `code` down now, by what was written to it.
  bool IsDown(int code) const;
  // The codes held down now, in ascending order.
  std::vector<int> HeldKeys() const;

  // One frame of passed-on events; the SYN_REPORT is added here.
  void PassFrame(const std::vector<input_event>& events);
  // An injected key-down: a press even when the key is held already.
  void Press(int code);
  // An injected key-up; one of a key not held changes nothing.
  void Release(int code);
  // Releases every held key in one frame; how many there were.
  int ReleaseAll();

 protected:
  // `codes`: the EV_KEY codes the device can send.
  explicit KeyOutput(const std::vector<int>& codes);

 private:
  // One event to the device, called with the lock held.
  virtual void Write(const input_event& event) = 0;

  void WriteLocked(int type, int code, int value);

  mutable std::mutex mutex_;
  std::bitset<KEY_CNT> has_;
  std::bitset<KEY_CNT> down_;  // guarded by mutex_
};

// The keyboards whose key state injected keys should share: the clones of
// the keyboard the hook holds. Any thread.
class ICloneOutputs {
 public:
  virtual ~ICloneOutputs() = default;
  // The clones now, the one whose keyboard sent the latest key first; empty
  // when the hook holds no keyboard. A clone stays usable as long as it is
  // referenced, even after its keyboard went away.
  virtual std::vector<std::shared_ptr<KeyOutput>> CloneOutputs() const = 0;
};

}  // namespace keyloom::platform::linux_input
