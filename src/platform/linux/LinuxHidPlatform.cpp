#include "platform/linux/LinuxHidPlatform.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <vector>

#include "platform/linux/HidrawDetails.h"
#include "platform/linux/HidrawPaths.h"
#include "platform/linux/PermissionHint.h"
#include "platform/linux/ReportWriter.h"

namespace keyloom::platform {

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
  std::unique_ptr<ReportWriter> writer;  // on writeFd; null without one

  ~Connection() {
    // The writer's thread is joined before the descriptor it writes to goes.
    writer.reset();
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
    retired_.clear();
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
      if (connection->writeFd >= 0) {
        connection->writer = std::make_unique<ReportWriter>(
            [fd = connection->writeFd](const uint8_t* data, size_t length) { return write(fd, data, length); });
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
    ReapRetired();
    // Closing joins the writer, which would hold up the caller (the UI
    // thread) until the kernel gives up on a write the device never took;
    // such a connection waits among the retired ones instead.
    if (closing->writer && closing->writer->Busy()) retired_.push_back(std::move(closing));
  }
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
  if (!connection || !connection->writer) return HidWriteStart{false, 0, kHidErrorInvalidHandle};
  // One write in the kernel per device, also across a reopen: a device that
  // takes nothing ties up one thread, however often keyloom tries again.
  if (RetiredWriteUnderWay(connection->devnode) || !connection->writer->Start(data, length)) {
    return HidWriteStart{false, 0, kHidErrorBusy};
  }
  return HidWriteStart{false, 0, kHidErrorIoPending};
}

bool LinuxHidPlatform::WaitWrite(HidHandle handle, uint32_t timeoutMs, uint32_t& bytes) {
  const auto connection = Find(handle);
  if (!connection || !connection->writer) return false;
  // A write that came back in time but was refused transferred 0 bytes.
  return connection->writer->Wait(std::chrono::milliseconds(timeoutMs), bytes);
}

void LinuxHidPlatform::ReapRetired() {
  std::erase_if(retired_, [](const std::shared_ptr<Connection>& connection) { return !connection->writer->Busy(); });
}

bool LinuxHidPlatform::RetiredWriteUnderWay(const std::string& devnode) {
  std::lock_guard guard(mutex_);
  ReapRetired();
  for (const auto& connection : retired_) {
    if (connection->devnode == devnode) return true;
  }
  return false;
}

}  // namespace keyloom::platform
