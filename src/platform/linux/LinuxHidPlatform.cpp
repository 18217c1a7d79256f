#include "platform/linux/LinuxHidPlatform.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "platform/linux/HidrawDetails.h"
#include "platform/linux/HidrawPaths.h"
#include "platform/linux/PermissionHint.h"

namespace keyloom::platform {

// A write handed to the helper thread. The thread owns a copy of the bytes.
struct PendingWrite {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  uint32_t bytes = 0;
};

struct LinuxHidPlatform::Connection {
  std::wstring path;
  std::string devnode;
  int collection = 0;           // 1-based; 0 when the path names none
  hid_device* device = nullptr;  // null for a query-only handle
  // hidapi keeps a per-device error text that every call replaces, so two
  // calls on one device must not run at once (a feature report on the
  // worker thread may meet one on the UI thread).
  std::mutex hidapiMutex;
  int writeFd = -1;
  std::mutex pendingMutex;
  std::shared_ptr<PendingWrite> pending;

  ~Connection() {
    if (writeFd >= 0) close(writeFd);
    if (device) hid_close(device);
  }
};

namespace {

// hidapi does not say why an open failed (its error text is not errno, and
// the calls after the failed open may change errno), so the node is opened
// once more to learn whether access was refused; then the user is told
// which rules file grants it.
void ReportIfRefused(const std::string& devnode) {
  const int fd = open(devnode.c_str(), O_RDWR | O_CLOEXEC);
  if (fd >= 0) {
    close(fd);
  } else if (errno == EACCES || errno == EPERM) {
    linux_input::ReportAccessDenied(devnode);
  }
}

}  // namespace

LinuxHidPlatform::LinuxHidPlatform() {
  udev_ = udev_new();
  hidapiReady_ = hid_init() == 0;
}

LinuxHidPlatform::~LinuxHidPlatform() {
  {
    std::lock_guard guard(mutex_);
    connections_.clear();
  }
  if (udev_) udev_unref(udev_);
}

bool LinuxHidPlatform::ListInterfaces(HidInterfaceList& list) {
  list = HidInterfaceList{};
  if (!hidapiReady_ || !udev_) return false;
  // hidapi lists a node once per top-level collection; keyloom names the
  // collections itself, so each node counts once, in hidapi's order.
  hid_device_info* devices = hid_enumerate(0, 0);
  std::vector<std::string> nodes;
  std::set<std::string> seen;
  for (hid_device_info* d = devices; d; d = d->next) {
    if (d->path && seen.insert(d->path).second) nodes.push_back(d->path);
  }
  hid_free_enumeration(devices);

  for (const std::string& node : nodes) {
    HidrawDetails details;
    if (!ReadDetails(node, details)) continue;
    for (const std::wstring& path : details.Paths()) {
      HidInterfaceEntry entry;
      entry.path = path;
      list.interfaces.push_back(entry);
    }
  }
  return true;
}

HidHandle LinuxHidPlatform::Open(const std::wstring& path, uint32_t accessMode) {
  auto connection = std::make_shared<Connection>();
  connection->path = path;
  connection->devnode = DevnodeFromPath(path);
  connection->collection = CollectionFromPath(path);
  if (connection->devnode.rfind("/dev/", 0) != 0) return kInvalidHidHandle;

  if ((accessMode & 0xFF000000u) == 0) {
    // Query only: attributes and capabilities come from sysfs.
    if (access(connection->devnode.c_str(), F_OK) != 0) return kInvalidHidHandle;
  } else {
    if (!hidapiReady_) return kInvalidHidHandle;
    connection->device = hid_open_path(connection->devnode.c_str());
    if (!connection->device) {
      ReportIfRefused(connection->devnode);
      return kInvalidHidHandle;
    }
    if (accessMode & kHidAccessWrite) {
      connection->writeFd = open(connection->devnode.c_str(), O_RDWR | O_CLOEXEC);
      if (connection->writeFd < 0 && (errno == EACCES || errno == EPERM)) {
        linux_input::ReportAccessDenied(connection->devnode);
      }
    }
  }
  std::lock_guard guard(mutex_);
  const HidHandle handle = nextHandle_;
  nextHandle_ += 4;
  connections_[handle] = std::move(connection);
  return handle;
}

bool LinuxHidPlatform::Close(HidHandle handle) {
  std::shared_ptr<Connection> closing;
  {
    std::lock_guard guard(mutex_);
    const auto it = connections_.find(handle);
    if (it == connections_.end()) return false;
    closing = std::move(it->second);
    connections_.erase(it);
  }
  // A write still under way keeps its own reference; the device is closed
  // when that ends.
  return true;
}

bool LinuxHidPlatform::ReadDetails(const std::string& devnode, HidrawDetails& details) {
  std::lock_guard guard(udevMutex_);
  return ReadHidrawDetails(udev_, devnode, details);
}

std::shared_ptr<LinuxHidPlatform::Connection> LinuxHidPlatform::Find(HidHandle handle) const {
  std::lock_guard guard(mutex_);
  const auto it = connections_.find(handle);
  return it == connections_.end() ? nullptr : it->second;
}

bool LinuxHidPlatform::GetAttributes(HidHandle handle, HidAttributes& attributes) {
  const auto connection = Find(handle);
  HidrawDetails details;
  if (!connection || !ReadDetails(connection->devnode, details)) return false;
  attributes.vendorId = static_cast<uint16_t>(details.identity.vid);
  attributes.productId = static_cast<uint16_t>(details.identity.pid);
  attributes.versionNumber = details.versionNumber;
  return true;
}

bool LinuxHidPlatform::GetCaps(HidHandle handle, HidCaps& caps) {
  const auto connection = Find(handle);
  HidrawDetails details;
  if (!connection || !ReadDetails(connection->devnode, details)) return false;
  const size_t index = connection->collection > 0 ? static_cast<size_t>(connection->collection - 1) : 0;
  if (index >= details.collections.size()) return false;
  caps = details.collections[index];
  return true;
}

bool LinuxHidPlatform::SetFeature(HidHandle handle, const uint8_t* data, size_t length) {
  const auto connection = Find(handle);
  if (!connection || !connection->device) return false;
  std::lock_guard guard(connection->hidapiMutex);
  return hid_send_feature_report(connection->device, data, length) >= 0;
}

bool LinuxHidPlatform::GetFeature(HidHandle handle, uint8_t* data, size_t length) {
  const auto connection = Find(handle);
  if (!connection || !connection->device) return false;
  std::lock_guard guard(connection->hidapiMutex);
  return hid_get_feature_report(connection->device, data, length) >= 0;
}

HidWriteStart LinuxHidPlatform::BeginWrite(HidHandle handle, const uint8_t* data, size_t length) {
  const auto connection = Find(handle);
  if (!connection || connection->writeFd < 0) return HidWriteStart{false, 0, kHidErrorInvalidHandle};
  auto pending = std::make_shared<PendingWrite>();
  {
    std::lock_guard guard(connection->pendingMutex);
    connection->pending = pending;
  }
  // A hidraw write blocks until the device has taken the report. The thread
  // works on its own copy and its own references, so giving up on it after
  // the time-out leaves nothing of the caller's in its hands.
  std::thread([connection, pending, bytes = std::vector<uint8_t>(data, data + length)] {
    ssize_t written;
    do {
      written = write(connection->writeFd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    {
      std::lock_guard guard(pending->mutex);
      pending->done = true;
      pending->bytes = written < 0 ? 0 : static_cast<uint32_t>(written);
    }
    pending->finished.notify_all();
  }).detach();
  return HidWriteStart{false, 0, kHidErrorIoPending};
}

bool LinuxHidPlatform::WaitWrite(HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) {
  const auto connection = Find(handle);
  if (!connection) return false;
  std::shared_ptr<PendingWrite> pending;
  {
    std::lock_guard guard(connection->pendingMutex);
    pending.swap(connection->pending);
  }
  if (!pending) return false;
  std::unique_lock guard(pending->mutex);
  if (!pending->finished.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return pending->done; })) {
    return false;
  }
  // Finished in time; a write the kernel refused transferred 0 bytes.
  bytes = pending->bytes;
  return true;
}

}  // namespace keyloom::platform
