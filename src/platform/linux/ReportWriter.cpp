#include "platform/linux/ReportWriter.h"

#include <cerrno>

namespace keyloom::platform {

ReportWriter::ReportWriter(WriteFunction write) : write_(std::move(write)) {}

ReportWriter::~ReportWriter() {
  {
    std::lock_guard guard(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool ReportWriter::Start(const uint8_t* data, size_t length) {
  {
    std::lock_guard guard(mutex_);
    if (busy_ || stopping_) return false;
    report_.assign(data, data + length);
    busy_ = true;
    unclaimed_ = true;
    // Most handles never write (queries, feature reports), so the thread
    // waits for the first report to exist.
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
  return true;
}

bool ReportWriter::Wait(std::chrono::milliseconds timeout, uint32_t& bytes) {
  std::unique_lock guard(mutex_);
  if (!unclaimed_) return false;
  if (!changed_.wait_for(guard, timeout, [this] { return !busy_; })) {
    // Given up: the write stays with the thread, and Busy says when it ends.
    unclaimed_ = false;
    return false;
  }
  unclaimed_ = false;
  bytes = written_;
  return true;
}

bool ReportWriter::Busy() const {
  std::lock_guard guard(mutex_);
  return busy_;
}

void ReportWriter::Run() {
  std::unique_lock guard(mutex_);
  for (;;) {
    changed_.wait(guard, [this] { return busy_ || stopping_; });
    if (!busy_) return;
    const std::vector<uint8_t> report = report_;
    guard.unlock();
    ssize_t written;
    do {
      written = write_(report.data(), report.size());
    } while (written < 0 && errno == EINTR);
    guard.lock();
    written_ = written < 0 ? 0 : static_cast<uint32_t>(written);
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace keyloom::platform
