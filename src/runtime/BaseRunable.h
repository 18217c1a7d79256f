#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace keyloom {

// A piece of work for the worker thread, with its arguments and the timing
// that the timer thread follows. SimpleThread owns what is posted to it and
// runs a Clone of it each time it is due.
class BaseRunable {
 public:
  virtual ~BaseRunable() = default;

  virtual bool IsValid() const = 0;
  // A deep copy: the buffer is copied, not shared.
  virtual std::unique_ptr<BaseRunable> Clone() const = 0;
  virtual int Run(int32_t a1, int32_t a2, const uint8_t* a3, uint32_t a4) = 0;

  int32_t a1 = 0;
  int32_t a2 = 0;
  std::vector<uint8_t> buffer;  // a3, with a4 its length
  uint32_t interval = 0;        // ms from when the timer thread first sees it
  int32_t repeat = 0;           // -1 forever, n > 0 that many times, 0 once
  bool exclusive = false;       // while waiting, hides the runnables behind it
  uint32_t waitTimeout = 0;     // ms Post waits for the result; 0 = asynchronous

 protected:
  BaseRunable() = default;
  BaseRunable(const BaseRunable&) = default;
  BaseRunable& operator=(const BaseRunable&) = default;

 private:
  friend class SimpleThread;

  // Where a waited Post expects its result. Shared by the posted runnable
  // and its copy; once Post gives up waiting it marks the slot abandoned and
  // the copy then writes nothing.
  struct WaitSlot {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int result = 0;
  };

  std::optional<std::chrono::steady_clock::time_point> start_;  // none: not started
  std::shared_ptr<WaitSlot> waitSlot_;
};

}  // namespace keyloom
