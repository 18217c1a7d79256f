#include "actions/KeyAssignments.h"

#include <algorithm>

#include "runtime/Callback.h"
#include "runtime/SimpleThread.h"

namespace keyloom {

namespace {

// Playback that has fallen this far behind (the machine was suspended, the
// worker starved) starts timing afresh instead of rushing to catch up.
constexpr std::chrono::milliseconds kMaxLateness(100);

// Behind the schedule (after a late wake-up), a gap is shortened by at most
// this much, and never below half its delay, so a press and its release never
// come closer than their delay allows; the lateness is made up over the
// following steps instead of in one burst.
constexpr std::chrono::microseconds kMaxCatchUpPerGap(1000);

constexpr uint32_t kFirstFunctionKeyCode = 10000;
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kScanBit200 = 0x200;

// Injected keys are some program's (keyloom's own playback included); a key
// the hook source already passed on has reached the desktop, so acting on it
// as well would perform the key twice.
bool IsMarkedOrInjected(const platform::KBDLLHOOKSTRUCT& event) {
  return (event.flags & (platform::LLKHF_INJECTED | platform::kPassedOnFlag)) != 0 ||
         event.dwExtraInfo == platform::kKeyloomExtraInfo || event.dwExtraInfo == ~uintptr_t{0};
}

}  // namespace

KeyAssignments::KeyAssignments(Services services, Now now)
    : services_(std::move(services)),
      keys_(services_.injector),
      queue_(services_.thread),
      now_(now ? std::move(now) : Now([] { return Clock::now(); })) {}

KeyAssignments::~KeyAssignments() {
  if (attached_) attached_->Stop();
  keys_.ReleaseAll();
}

void KeyAssignments::AttachTo(SimpleThread& thread) {
  attached_ = &thread;
  thread.SetIdleCallback(this, &KeyAssignments::PlayNextStep);
  thread.SetStopCallback(std::make_shared<Callback<KeyAssignments>>(this, &KeyAssignments::OnWorkerStopped));
}

int KeyAssignments::OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) {
  if (!message || !event) return 0;
  if (IsMarkedOrInjected(*event)) return 0;

  const MacroLibrary& library = services_.library;
  if ((library.recording != 0 || library.type == 1) && editor_) {
    return editor_->OnHookEvent(code, message, event);
  }

  if (!services_.deviceOpen || !services_.deviceOpen()) return 0;

  if (stopOnKeyRelease_ != 0 && IsKeyUpMessage(*message)) {
    if (queue_.CancelAll()) return 0;
  }

  const int32_t keyCode =
      static_cast<int32_t>((event->vkCode & 0xFF) + ((event->flags & platform::LLKHF_EXTENDED) ? 0x100 : 0));
  for (const KeyRecord& record : services_.records.records) {
    if (record.code != keyCode) continue;
    switch (Apply(record, *message, *event)) {
      case Verdict::Continue:
        continue;
      case Verdict::Pass:
        return 0;
      case Verdict::Swallow:
        return 1;
    }
  }
  return 0;
}

KeyAssignments::Verdict KeyAssignments::Apply(const KeyRecord& record, uint32_t message,
                                              const platform::KBDLLHOOKSTRUCT& event) {
  switch (record.type) {
    case 0:
      return PlayMacro(record, message);
    case 1:
      return SendSingleKey(record, message, event);
    case 2:
      return SendMediaOrLaunch(record, message);
    case 3:
      return QueueCombination(record, message);
    default:
      return Verdict::Continue;
  }
}

KeyAssignments::Verdict KeyAssignments::PlayMacro(const KeyRecord& record, uint32_t message) {
  if (!IsKeyUpMessage(message)) return Verdict::Swallow;
  stopOnKeyRelease_ = record.mode;
  // One copy now, the rest as a count the worker draws on: the hook's work
  // does not grow with the repeat count.
  queue_.AppendCopies(record.steps, record.repeat);
  return Verdict::Swallow;
}

KeyAssignments::Verdict KeyAssignments::SendSingleKey(const KeyRecord& record, uint32_t message,
                                                      const platform::KBDLLHOOKSTRUCT& event) {
  if (record.steps.empty()) return Verdict::Continue;
  const uint32_t k = record.steps.front().code;
  if (event.scanCode & kScanBit200) return Verdict::Swallow;
  if (IsKeyDownMessage(message)) {
    SendKey(k, false, false);
  } else if (IsKeyUpMessage(message)) {
    SendKey(k, true, false);
    if (event.vkCode == kVkShift) SendKey(kVkShift, true, false);
  }
  return Verdict::Swallow;
}

KeyAssignments::Verdict KeyAssignments::SendMediaOrLaunch(const KeyRecord& record, uint32_t message) {
  if (record.steps.empty()) return Verdict::Continue;
  const uint32_t k = record.steps.front().code;
  if (k < kFirstFunctionKeyCode) {
    if (IsKeyDownMessage(message)) {
      SendKey(k, false, false);
    } else if (IsKeyUpMessage(message)) {
      SendKey(k, true, false);
    }
    return Verdict::Swallow;
  }
  for (const FunctionKeyAction& action : services_.config.functionKeys) {
    if (action.code != k) continue;
    // Every key-down, auto-repeats included, starts the program once more.
    if (IsKeyDownMessage(message) && services_.shell) services_.shell->Open(action.path, action.argm);
    return Verdict::Swallow;
  }
  return Verdict::Continue;
}

KeyAssignments::Verdict KeyAssignments::QueueCombination(const KeyRecord& record, uint32_t message) {
  if (IsKeyDownMessage(message)) {
    // An auto-repeat while the combination's downs still wait to be played.
    if (queue_.LastEquals(comboDownMarker_)) return Verdict::Swallow;
    for (const MacroStep& step : record.steps) {
      if (step.state != 0) continue;
      queue_.Append(step);
      comboDownMarker_ = step;
    }
  } else if (IsKeyUpMessage(message)) {
    for (const MacroStep& step : record.steps) {
      if (step.state != 0) queue_.Append(step);
    }
    comboDownMarker_ = MacroStep{0, 1, 0, {}};
  }
  return Verdict::Swallow;
}

void KeyAssignments::SendKey(uint32_t code, bool up, bool extended) {
  uint32_t flags = up ? platform::KEYEVENTF_KEYUP : 0;
  if (extended) flags |= platform::KEYEVENTF_EXTENDEDKEY;
  const uint32_t scan = keys_.MapVirtualKey(code, platform::MAPVK_VK_TO_VSC);
  keys_.KeybdEvent(static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(scan), flags,
                   platform::kKeyloomExtraInfo);
}

int KeyAssignments::PlayNextStep(ISimpleThread* thread, void*) {
  ISimpleThread& worker = thread ? *thread : services_.thread;
  QueuedStep* step = queue_.Front();
  if (!step) {
    due_.reset();
    return 0;
  }

  const Clock::time_point now = now_();
  if (!due_ || now > *due_ + kMaxLateness) due_ = now;

  if (step->code == LOCK_WORKSTATION_CODE) {
    // No key and no delay: the next step is due at once.
    if (services_.shell) services_.shell->LockWorkStation();
  } else {
    const bool up = step->state.load() == 1;
    const bool windowsKey = step->code == 0x5B || step->code == 0x5C;
    SendKey(step->code, up, windowsKey);
    const uint32_t delay = step->delay.load();
    if (delay != 0) {
      const Clock::duration length = std::chrono::milliseconds(delay);
      *due_ += length;
      // Taken after the send, so the gap to the next key is never shorter
      // than the delay less the catch-up, however late this wake-up was.
      const Clock::duration catchUp = std::min<Clock::duration>(kMaxCatchUpPerGap, length / 2);
      const Clock::time_point earliest = now_() + length - catchUp;
      // Cut short by a cancel or Stop: whatever follows is timed from now.
      if (!worker.SleepUntilInterruptible(std::max(*due_, earliest))) due_ = now_();
    }
  }

  queue_.PopFront();
  if (queue_.IsEmpty()) {
    due_.reset();
  } else {
    worker.Wake();
  }
  return 0;
}

int KeyAssignments::OnWorkerStopped(ISimpleThread*, void*) {
  keys_.ReleaseAll();
  return 0;
}

}  // namespace keyloom
