#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace keyloom::platform {

// Writes one device's output reports on a thread of its own, one report at a
// time. A hidraw write blocks until the device has taken the report, and the
// caller gives up waiting after its time-out; the write itself cannot be
// called back, so it stays with this thread until the kernel lets go of it.
// While it does, further reports are refused instead of queued behind it or
// handed to more threads: a device that takes nothing costs one thread, not
// one per report. The thread sleeps while there is nothing to write and is
// joined when the writer goes.
class ReportWriter {
 public:
  // Writes the bytes to the device; what write(2) returns.
  using WriteFunction = std::function<ssize_t(const uint8_t* data, size_t length)>;

  explicit ReportWriter(WriteFunction write);
  // Waits for a write still under way.
  ~ReportWriter();
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Hands a copy of the report to the thread; false while the previous
  // write has not come back from the device.
  bool Start(const uint8_t* data, size_t length);
  // Waits at most `timeout` for the write Start handed over last: true, with
  // the bytes written (0 when the device refused it), when it came back in
  // time. Each write is waited for once; false when there is none to wait
  // for.
  bool Wait(std::chrono::milliseconds timeout, uint32_t& bytes);
  // Whether a write is under way.
  bool Busy() const;

 private:
  void Run();

  const WriteFunction write_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint8_t> report_;
  bool busy_ = false;      // a report is handed over and not yet back
  bool unclaimed_ = false;  // its outcome has not been waited for
  bool stopping_ = false;
  uint32_t written_ = 0;
  std::thread thread_;  // started with the first report
};

}  // namespace keyloom::platform
