#include "platform/test/ScriptedHookSource.h"

#include <cstdio>
#include <cstdlib>

#include "platform/test/KeyTraffic.h"

namespace keyloom::platform {

bool ScriptedHookSource::Install(int hookType, HookProcedure procedure) {
  if (refuseInstall_ || procedure_ || !procedure) return false;
  if (hookType != WH_KEYBOARD_LL) return false;
  procedure_ = std::move(procedure);
  hookType_ = hookType;
  return true;
}

bool ScriptedHookSource::Uninstall() {
  if (!procedure_) return false;
  procedure_ = nullptr;
  hookType_ = 0;
  return true;
}

intptr_t ScriptedHookSource::CallNext(int, uint32_t, KBDLLHOOKSTRUCT*) {
  ++callNextCount_;
  return nextHookResult_;
}

intptr_t ScriptedHookSource::Deliver(uint32_t message, const KBDLLHOOKSTRUCT& event, int code) {
  KBDLLHOOKSTRUCT copy = event;
  intptr_t verdict = procedure_ ? procedure_(code, message, &copy) : 0;
  history_.push_back({message, event, verdict != 0});
  return verdict;
}

ScriptedHookSource::FeedResult ScriptedHookSource::Feed(std::string_view traffic,
                                                        const std::function<void(int)>& onWait) {
  FeedResult result;
  const KeyTrafficParse script = ParseKeyTraffic(traffic);
  if (!script.ok()) {
    result.error = script.error + " of \"" + std::string(traffic) + "\"";
    if (onTrafficError_) {
      onTrafficError_(result.error);
      return result;
    }
    std::fprintf(stderr, "ScriptedHookSource::Feed: %s\n", result.error.c_str());
    std::abort();
  }
  for (const KeyTrafficItem& item : script.items) {
    if (item.waitMs >= 0) {
      if (onWait) onWait(item.waitMs);
      continue;
    }
    bool swallowed = Deliver(item.message, item.event) != 0;
    std::string& out = swallowed ? result.swallowed : result.passed;
    if (!out.empty()) out += ' ';
    out += FormatKeyTrafficItem(item);
  }
  return result;
}

}  // namespace keyloom::platform
