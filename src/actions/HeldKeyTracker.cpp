#include "actions/HeldKeyTracker.h"

#include <algorithm>

namespace keyloom {

void HeldKeyTracker::KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) {
  // Under the lock, so the record and the events leave in the same order
  // when both threads send.
  if (!injector_) return;
  std::lock_guard lock(mutex_);
  auto it = std::find_if(held_.begin(), held_.end(), [vk](const Held& h) { return h.vk == vk; });
  if (flags & platform::KEYEVENTF_KEYUP) {
    if (it != held_.end()) held_.erase(it);
  } else if (it == held_.end()) {
    held_.push_back({vk, scan, flags & platform::KEYEVENTF_EXTENDEDKEY});
  }
  injector_->KeybdEvent(vk, scan, flags, extraInfo);
}

uint32_t HeldKeyTracker::MapVirtualKey(uint32_t code, uint32_t mapType) {
  return injector_ ? injector_->MapVirtualKey(code, mapType) : 0;
}

int HeldKeyTracker::ReleaseAll() {
  std::lock_guard lock(mutex_);
  const int count = static_cast<int>(held_.size());
  for (auto it = held_.rbegin(); it != held_.rend(); ++it) {
    injector_->KeybdEvent(it->vk, it->scan, it->flags | platform::KEYEVENTF_KEYUP,
                         platform::kKeyloomExtraInfo);
  }
  held_.clear();
  return count;
}

std::vector<uint8_t> HeldKeyTracker::HeldKeys() const {
  std::lock_guard lock(mutex_);
  std::vector<uint8_t> keys;
  for (const Held& h : held_) keys.push_back(h.vk);
  return keys;
}

}  // namespace keyloom
