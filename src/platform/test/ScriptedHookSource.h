#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/KeyboardHookSource.h"

namespace keyloom::platform {

// A hook source for tests: nothing comes from the system; the test delivers
// each event itself and sees the verdict, as the real source would act on it.
class ScriptedHookSource : public IKeyboardHookSource {
 public:
  struct Delivered {
    uint32_t message = 0;
    KBDLLHOOKSTRUCT event;
    bool swallowed = false;
  };
  struct FeedResult {
    std::string passed;     // events that went on, in key-traffic notation
    std::string swallowed;  // events the procedure consumed
    std::string error;      // the traffic was not understood; nothing was delivered
  };
  using TrafficErrorHandler = std::function<void(const std::string& error)>;

  bool Install(int hookType, HookProcedure procedure) override;
  bool Uninstall() override;
  intptr_t CallNext(int code, uint32_t message, KBDLLHOOKSTRUCT* event) override;

  // Makes the next Install fail, as a system refusing the hook would.
  void RefuseInstall(bool refuse) { refuseInstall_ = refuse; }
  // What CallNext answers (another program's hook swallowing everything).
  void SetNextHookResult(intptr_t result) { nextHookResult_ = result; }
  void SetTrafficErrorHandler(TrafficErrorHandler handler) { onTrafficError_ = std::move(handler); }

  bool IsInstalled() const { return static_cast<bool>(procedure_); }
  int InstalledType() const { return hookType_; }
  int CallNextCount() const { return callNextCount_; }

  // One event as the system would deliver it; the procedure's verdict, or 0
  // (passed on) when no hook is installed.
  intptr_t Deliver(uint32_t message, const KBDLLHOOKSTRUCT& event, int code = HC_ACTION);

  // Delivers a whole script in key-traffic notation (KeyTraffic.h). A wait
  // token ("150ms") calls `onWait` with its milliseconds instead. A script
  // with a token the notation does not know delivers nothing: its error goes
  // to the traffic error handler, and without one it is printed and the
  // process aborts, so a typo can never pass as a shorter scenario.
  // Fixtures hand in a handler that records a test failure.
  FeedResult Feed(std::string_view traffic, const std::function<void(int)>& onWait = {});

  const std::vector<Delivered>& History() const { return history_; }
  void ClearHistory() { history_.clear(); }

 private:
  HookProcedure procedure_;
  int hookType_ = 0;
  bool refuseInstall_ = false;
  intptr_t nextHookResult_ = 0;
  int callNextCount_ = 0;
  std::vector<Delivered> history_;
  TrafficErrorHandler onTrafficError_;
};

}  // namespace keyloom::platform
