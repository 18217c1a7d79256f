#include "protocol/DeviceCommandThread.h"

#include "protocol/KeyboardCommands.h"

namespace keyloom {
namespace {

// Read and write access to the interface, as every open of the keyboard asks.
constexpr uint32_t kReadWrite = 0xC0000003;

}  // namespace

DeviceCommandThread::DeviceCommandThread(HidDevice& device, CommandPacer& pacer, ReplyHandler onReply)
    : device_(device), pacer_(pacer), onReply_(std::move(onReply)), thread_([this] { Loop(); }) {}

DeviceCommandThread::~DeviceCommandThread() { Stop(); }

void DeviceCommandThread::Connect(const KeyboardIds& ids) { Enqueue({Kind::Connect, {}, ids, {}}); }

void DeviceCommandThread::OpenArrived(const std::wstring& path) { Enqueue({Kind::OpenArrived, {}, {}, path}); }

void DeviceCommandThread::Reopen(const KeyboardIds& ids) { Enqueue({Kind::Reopen, {}, ids, {}}); }

void DeviceCommandThread::Close() { Enqueue({Kind::Close, {}, {}, {}}); }

void DeviceCommandThread::RestartPacing() { Enqueue({Kind::RestartPacing, {}, {}, {}}); }

void DeviceCommandThread::SendLightingEffect(const KeyboardReport& report) { Enqueue({Kind::Lighting, report, {}, {}}); }

void DeviceCommandThread::SendSideLight(const KeyboardReport& report) { Enqueue({Kind::SideLight, report, {}, {}}); }

void DeviceCommandThread::SendUnpaced(const KeyboardReport& report) { Enqueue({Kind::Unpaced, report, {}, {}}); }

void DeviceCommandThread::Write(const KeyboardReport& report) { Enqueue({Kind::Write, report, {}, {}}); }

void DeviceCommandThread::Enqueue(Command command) {
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
    if (IsPaced(command.kind)) {
      // The newest waiting command of this kind takes the new report, unless
      // a command of another kind than the two lighting ones stands after it.
      for (auto it = queue_.rbegin(); it != queue_.rend() && IsPaced(it->kind); ++it) {
        if (it->kind == command.kind) {
          it->report = command.report;
          ++replaced_;
          return;
        }
      }
    }
    queue_.push_back(std::move(command));
  }
  changed_.notify_all();
}

void DeviceCommandThread::Loop() {
  std::unique_lock lock(mutex_);
  // When the lighting command at the head may go; fixed once per head, so a
  // replaced report keeps its place in time.
  bool headTimed = false;
  std::chrono::steady_clock::time_point headDue{};
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) break;
    if (IsPaced(queue_.front().kind)) {
      if (!headTimed) {
        headDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(pacer_.RemainingMs());
        headTimed = true;
      }
      if (std::chrono::steady_clock::now() < headDue) {
        changed_.wait_until(lock, headDue);
        continue;
      }
    }
    headTimed = false;
    const Command command = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    Execute(command);
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  busy_ = false;
  idle_.notify_all();
}

DeviceReply DeviceCommandThread::OpenAndQuery(DeviceReply::Kind kind, const std::function<bool()>& open) {
  DeviceReply reply;
  reply.kind = kind;
  reply.opened = open();
  if (reply.opened) reply.versionRead = QueryFirmwareVersion(device_, reply.firmwareVersion);
  return reply;
}

void DeviceCommandThread::Execute(const Command& command) {
  switch (command.kind) {
    case Kind::Connect:
    case Kind::Reopen: {
      const KeyboardIds& ids = command.ids;
      if (command.kind == Kind::Reopen) device_.Close();
      // A product id of 0 means any product: an empty product list.
      const int32_t pids[1] = {ids.pid};
      const auto kind = command.kind == Kind::Connect ? DeviceReply::Kind::Connected : DeviceReply::Kind::Reopened;
      const DeviceReply reply = OpenAndQuery(kind, [&] {
        return device_.Open(ids.vid, pids, ids.pid == 0 ? 0 : 1, ids.interface, ids.subdevice, kReadWrite);
      });
      if (onReply_) onReply_(reply);
      break;
    }
    case Kind::OpenArrived: {
      const DeviceReply reply =
          OpenAndQuery(DeviceReply::Kind::Arrived, [&] { return device_.Open(kReadWrite, command.path); });
      // The keyboard has just come up: its first lighting command waits.
      if (reply.opened) pacer_.SetNow();
      if (onReply_) onReply_(reply);
      break;
    }
    case Kind::Close:
      device_.Close();
      break;
    case Kind::RestartPacing:
      pacer_.SetNow();
      break;
    case Kind::Lighting:
    case Kind::SideLight:
      device_.SetFeature(command.report.data());
      // Stamped after the transfer: the keyboard needs the pause after it
      // has taken the command.
      pacer_.SetNow();
      break;
    case Kind::Unpaced:
      device_.SetFeature(command.report.data());
      break;
    case Kind::Write:
      device_.Write(command.report.data());
      break;
  }
}

bool DeviceCommandThread::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, timeout, [this] { return (queue_.empty() && !busy_) || stopping_; });
}

void DeviceCommandThread::Stop() {
  {
    const std::lock_guard lock(mutex_);
    if (stopping_ && !thread_.joinable()) return;
    stopping_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

uint64_t DeviceCommandThread::Replaced() const {
  const std::lock_guard lock(mutex_);
  return replaced_;
}

}  // namespace keyloom
