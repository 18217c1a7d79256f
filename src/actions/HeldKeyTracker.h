#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/KeyInjector.h"

namespace keyloom {

// Sends keys through the platform's injector and remembers which of them are
// down, so that whatever playback or a single-key assignment pressed can be
// released when playback ends for good (a macro cut short by closing the
// program must not leave Ctrl held for the whole desktop). Thread-safe.
class HeldKeyTracker : public platform::IKeyInjector {
 public:
  // Without an injector nothing is sent and nothing is held.
  explicit HeldKeyTracker(platform::IKeyInjector* injector) : injector_(injector) {}

  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;

  // Sends a key up for every key still down, last pressed first. Returns how
  // many were released.
  int ReleaseAll();
  std::vector<uint8_t> HeldKeys() const;

 private:
  struct Held {
    uint8_t vk;
    uint8_t scan;
    uint32_t flags;
  };

  platform::IKeyInjector* injector_;
  mutable std::mutex mutex_;
  std::vector<Held> held_;
};

}  // namespace keyloom
