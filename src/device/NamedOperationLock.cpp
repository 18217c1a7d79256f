#include "device/NamedOperationLock.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/UserLock.h"

namespace keyloom {

// One per lock name, created on first use and kept for the process's life.
struct NamedOperationLock::Slot {
  std::string name;
  std::mutex mutex;
  std::condition_variable released;
  std::thread::id owner;
  int depth = 0;
  // Only the owning thread touches this.
  std::unique_ptr<platform::IUserLock> userLock;
};

namespace {

NamedOperationLock::Slot* SlotFor(const std::string& name) {
  static std::mutex registryMutex;
  static auto* registry = new std::map<std::string, NamedOperationLock::Slot*>;
  std::lock_guard guard(registryMutex);
  auto& slot = (*registry)[name];
  if (!slot) {
    slot = new NamedOperationLock::Slot;
    slot->name = name;
  }
  return slot;
}

}  // namespace

NamedOperationLock::NamedOperationLock(const std::string& name) : slot_(SlotFor(name)) {
  const auto self = std::this_thread::get_id();
  {
    std::unique_lock guard(slot_->mutex);
    if (slot_->depth > 0 && slot_->owner == self) {
      ++slot_->depth;
      return;
    }
    slot_->released.wait(guard, [this] { return slot_->depth == 0; });
    slot_->owner = self;
    slot_->depth = 1;
  }
  // Other processes next; threads of this one already wait above.
  slot_->userLock = platform::AcquireUserLock(slot_->name);
}

NamedOperationLock::~NamedOperationLock() {
  {
    std::lock_guard guard(slot_->mutex);
    if (slot_->depth > 1) {
      --slot_->depth;
      return;
    }
  }
  slot_->userLock.reset();
  {
    std::lock_guard guard(slot_->mutex);
    slot_->depth = 0;
    slot_->owner = {};
  }
  slot_->released.notify_one();
}

}  // namespace keyloom
