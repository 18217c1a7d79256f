#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/KeyInjector.h"

namespace keyloom::platform {

struct InjectedEvent {
  uint8_t vk = 0;
  uint8_t scan = 0;
  uint32_t flags = 0;
  uintptr_t extraInfo = 0;
  std::chrono::steady_clock::time_point at;  // when KeybdEvent was called
};

// An injector for tests: sends nothing, keeps every event with the time it
// was sent. Scan codes come from TestScanCode (KeyTraffic.h).
class RecordingInjector : public IKeyInjector {
 public:
  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;

  std::vector<InjectedEvent> Events() const;
  size_t Count() const;
  void Clear();

  // Keys sent down and not yet up, in the order they went down.
  std::vector<uint8_t> HeldKeys() const;

  // Waits until at least `count` events were sent; false on time-out.
  bool WaitForCount(size_t count, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<InjectedEvent> events_;
};

}  // namespace keyloom::platform
