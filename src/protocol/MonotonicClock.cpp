#include "protocol/MonotonicClock.h"

#include <chrono>
#include <thread>

namespace keyloom {
namespace {

class SteadyClock : public MonotonicClock {
 public:
  int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void SleepMs(int64_t milliseconds) override {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

}  // namespace

MonotonicClock& SystemMonotonicClock() {
  static auto* clock = new SteadyClock;
  return *clock;
}

}  // namespace keyloom
