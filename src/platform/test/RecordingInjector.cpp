#include "platform/test/RecordingInjector.h"

#include <algorithm>

#include "platform/test/KeyTraffic.h"

namespace keyloom::platform {

void RecordingInjector::KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) {
  auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(mutex_);
    events_.push_back({vk, scan, flags, extraInfo, now});
  }
  changed_.notify_all();
}

uint32_t RecordingInjector::MapVirtualKey(uint32_t code, uint32_t mapType) {
  return mapType == MAPVK_VK_TO_VSC ? TestScanCode(code) : 0;
}

std::vector<InjectedEvent> RecordingInjector::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

size_t RecordingInjector::Count() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

void RecordingInjector::Clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}

std::vector<uint8_t> RecordingInjector::HeldKeys() const {
  std::lock_guard lock(mutex_);
  std::vector<uint8_t> held;
  for (const InjectedEvent& event : events_) {
    auto it = std::find(held.begin(), held.end(), event.vk);
    if (event.flags & KEYEVENTF_KEYUP) {
      if (it != held.end()) held.erase(it);
    } else if (it == held.end()) {
      held.push_back(event.vk);
    }
  }
  return held;
}

bool RecordingInjector::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return events_.size() >= count; });
}

}  // namespace keyloom::platform
