#include "config/BackgroundFileWriter.h"

#include "config/SaveFailureLog.h"

namespace keyloom {

BackgroundFileWriter::BackgroundFileWriter(std::unique_ptr<platform::IAtomicFileWriter> target)
    : target_(std::move(target)), thread_([this] { Loop(); }) {}

BackgroundFileWriter::~BackgroundFileWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool BackgroundFileWriter::Write(const std::string& path, std::string_view bytes) {
  {
    const std::lock_guard lock(mutex_);
    bool merged = false;
    for (Pending& pending : queue_) {
      if (pending.path == path) {
        pending.bytes.assign(bytes);
        ++replaced_;
        merged = true;
        break;
      }
    }
    if (!merged) queue_.push_back({path, std::string(bytes)});
  }
  changed_.notify_all();
  return true;
}

void BackgroundFileWriter::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // Stopping still writes what is queued: nothing the user changed is lost.
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) break;
    const Pending pending = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    const bool written = target_ != nullptr && target_->Write(pending.path, pending.bytes);
    // Read on this thread, right after the write that set it.
    if (!written) SaveFailures().Report(pending.path, platform::LastFileStatus());
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  idle_.notify_all();
}

bool BackgroundFileWriter::Flush(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, timeout, [this] { return queue_.empty() && !busy_; });
}

uint64_t BackgroundFileWriter::Replaced() const {
  const std::lock_guard lock(mutex_);
  return replaced_;
}

}  // namespace keyloom
