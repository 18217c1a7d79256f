#include "macros/KeyboardHook.h"

#include <algorithm>

namespace keyloom {

KeyboardHook& KeyboardHook::Instance() {
  static KeyboardHook* hook = new KeyboardHook();
  return *hook;
}

KeyboardHook::~KeyboardHook() { Uninstall(); }

bool KeyboardHook::Install(platform::IKeyboardHookSource* source, bool lowLevel) {
  if (source_) return true;
  if (!source) return false;
  const int type = lowLevel ? platform::WH_KEYBOARD_LL : platform::WH_KEYBOARD;
  auto procedure = [this](int code, uint32_t message, platform::KBDLLHOOKSTRUCT* event) {
    return HookProcedure(code, message, event);
  };
  if (!source->Install(type, procedure)) return false;
  source_ = source;
  return true;
}

bool KeyboardHook::Uninstall() {
  if (!source_ || !source_->Uninstall()) return false;
  source_ = nullptr;
  return true;
}

bool KeyboardHook::AddListener(IKeyboardHookListener* listener) {
  if (!source_ || !listener) return false;
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
  return true;
}

bool KeyboardHook::RemoveListener(IKeyboardHookListener* listener) {
  if (!listener) return false;
  std::erase(listeners_, listener);
  return true;
}

intptr_t KeyboardHook::HookProcedure(int code, uint32_t message, platform::KBDLLHOOKSTRUCT* event) {
  // The system's rule: a negative code must go straight on, unprocessed.
  if (code >= 0 && event) {
    // Walks a copy, so a listener may add or remove listeners; one removed
    // meanwhile (perhaps destroyed) is skipped.
    const std::vector<IKeyboardHookListener*> listeners = listeners_;
    for (IKeyboardHookListener* listener : listeners) {
      if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) continue;
      if (listener->OnHookEvent(&code, &message, event) != 0) return 1;
    }
  }
  return source_ ? source_->CallNext(code, message, event) : 0;
}

}  // namespace keyloom
