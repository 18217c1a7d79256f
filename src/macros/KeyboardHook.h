#pragma once

#include <cstdint>
#include <vector>

#include "macros/IKeyboardHookListener.h"
#include "platform/KeyboardHookSource.h"

namespace keyloom {

// The process-wide keyboard hook with its ordered chain of listeners. Events
// arrive from the platform's hook source on the UI thread; the first listener
// that returns non-zero consumes the event, otherwise it goes on.
class KeyboardHook {
 public:
  // The process-wide hook; never freed.
  static KeyboardHook& Instance();

  KeyboardHook() = default;
  // Uninstalls, so the source never calls into a hook that is gone.
  ~KeyboardHook();
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  // Installs the hook procedure with `source` (not owned; it must outlive the
  // hook), as a low-level hook when `lowLevel` is set. A second call while a
  // hook is installed installs nothing and returns true. False when the
  // source is null (the platform has none) or refuses.
  bool Install(platform::IKeyboardHookSource* source, bool lowLevel = true);
  // False when no hook is installed or the source refuses.
  bool Uninstall();
  bool IsInstalled() const { return source_ != nullptr; }

  // Appends `listener` (not owned). False, adding nothing, while no hook is
  // installed or for null; true when it is already in the chain.
  bool AddListener(IKeyboardHookListener* listener);
  // Removes every occurrence, also while no hook is installed; false for null.
  bool RemoveListener(IKeyboardHookListener* listener);

  // The hook procedure: what the source calls for every event.
  intptr_t HookProcedure(int code, uint32_t message, platform::KBDLLHOOKSTRUCT* event);

 private:
  platform::IKeyboardHookSource* source_ = nullptr;
  std::vector<IKeyboardHookListener*> listeners_;
};

}  // namespace keyloom
