#include "platform/linux/KeyOutput.h"

namespace keyloom::platform::linux_input {

KeyOutput::KeyOutput(const std::vector<int>& codes) {
  for (int code : codes) {
    if (code > 0 && code < KEY_CNT) has_.set(code);
  }
}

bool KeyOutput::Has(int code) const { return code > 0 && code < KEY_CNT && has_.test(code); }

bool KeyOutput::IsDown(int code) const {
  if (!Has(code)) return false;
  std::lock_guard lock(mutex_);
  return down_.test(code);
}

std::vector<int> KeyOutput::HeldKeys() const {
  std::lock_guard lock(mutex_);
  std::vector<int> held;
  for (int code = 0; code < KEY_CNT; ++code) {
    if (down_.test(code)) held.push_back(code);
  }
  return held;
}

void KeyOutput::PassFrame(const std::vector<input_event>& events) {
  std::lock_guard lock(mutex_);
  for (const input_event& event : events) WriteLocked(event.type, event.code, event.value);
  WriteLocked(EV_SYN, SYN_REPORT, 0);
}

void KeyOutput::Press(int code) {
  if (!Has(code)) return;
  std::lock_guard lock(mutex_);
  if (down_.test(code)) {
    WriteLocked(EV_KEY, code, 0);
    WriteLocked(EV_SYN, SYN_REPORT, 0);
  }
  WriteLocked(EV_KEY, code, 1);
  WriteLocked(EV_SYN, SYN_REPORT, 0);
}

void KeyOutput::Release(int code) {
  if (!Has(code)) return;
  std::lock_guard lock(mutex_);
  // The kernel drops the release of a key not held; nothing to send then.
  if (!down_.test(code)) return;
  WriteLocked(EV_KEY, code, 0);
  WriteLocked(EV_SYN, SYN_REPORT, 0);
}

int KeyOutput::ReleaseAll() {
  std::lock_guard lock(mutex_);
  int count = 0;
  for (int code = 0; code < KEY_CNT; ++code) {
    if (!down_.test(code)) continue;
    WriteLocked(EV_KEY, code, 0);
    ++count;
  }
  if (count > 0) WriteLocked(EV_SYN, SYN_REPORT, 0);
  return count;
}

void KeyOutput::WriteLocked(int type, int code, int value) {
  // The kernel's own rule: a key-down or key-up that does not change the
  // key's state is dropped, an auto-repeat changes nothing.
  if (type == EV_KEY && code > 0 && code < KEY_CNT && value != 2) down_.set(code, value != 0);
  input_event event{};
  event.type = static_cast<uint16_t>(type);
  event.code = static_cast<uint16_t>(code);
  event.value = value;
  Write(event);
}

}  // namespace keyloom::platform::linux_input
