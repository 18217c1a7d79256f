#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "actions/HeldKeyTracker.h"
#include "actions/PlaybackQueue.h"
#include "config/DeviceConfig.h"
#include "macros/IKeyboardHookListener.h"
#include "macros/KeyRecordList.h"
#include "macros/MacroLibrary.h"
#include "platform/KeyInjector.h"
#include "platform/Shell.h"
#include "runtime/ISimpleThread.h"

namespace keyloom {

class SimpleThread;

// A step with this code locks the workstation instead of sending a key.
inline constexpr uint32_t LOCK_WORKSTATION_CODE = 11111;

// The key assignments at work: the main window's keyboard-hook listener,
// which swallows the events of assigned keys and performs their records
// (single and media keys and launches at once, macros and combinations
// through the PlaybackQueue), and the worker's idle callback that plays the
// queue. The main window owns one and hands it the hook events.
class KeyAssignments : public IKeyboardHookListener {
 public:
  struct Services {
    KeyRecordList& records;
    MacroLibrary& library;
    const DeviceConfig& config;
    std::function<bool()> deviceOpen;  // the main window's HidDevice::IsOpen
    platform::IKeyInjector* injector;  // null: no keys are sent
    platform::IShell* shell;           // null: nothing is started or locked
    ISimpleThread& thread;             // its user lock guards the PlaybackQueue
  };

  // The clock that times playback; tests pass one that moves only when the
  // worker sleeps. Null: the steady clock.
  using Now = std::function<std::chrono::steady_clock::time_point()>;

  explicit KeyAssignments(Services services, Now now = nullptr);
  // Stops the thread it is attached to (its worker calls into this object),
  // then releases every key still held down by playback or a single key.
  ~KeyAssignments() override;
  KeyAssignments(const KeyAssignments&) = delete;
  KeyAssignments& operator=(const KeyAssignments&) = delete;

  // Makes PlayNextStep the worker's idle callback and OnWorkerStopped its
  // stop callback. Call before SimpleThread::Start; `thread` must outlive
  // this object.
  void AttachTo(SimpleThread& thread);

  // The hook listener (UI thread). Non-zero swallows the event.
  int OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) override;

  // The open macro editor's listener, or null when none is open. While the
  // library records or shows the single-key page, events go to it.
  void SetEditor(IKeyboardHookListener* editor) { editor_ = editor; }

  // The worker's idle callback: plays the first queued step. Always 0.
  int PlayNextStep(ISimpleThread* thread, void* context);
  // The worker's stop callback: releases what playback left held down.
  int OnWorkerStopped(ISimpleThread* thread, void* context);
  // Sends a key up for every key keyloom holds down; how many there were.
  int ReleaseHeldKeys() { return keys_.ReleaseAll(); }

  PlaybackQueue& Queue() { return queue_; }
  int32_t StopOnKeyRelease() const { return stopOnKeyRelease_; }
  const MacroStep& ComboDownMarker() const { return comboDownMarker_; }

 private:
  using Clock = std::chrono::steady_clock;

  // What to do with an event for one record; Continue goes on to the next.
  enum class Verdict { Continue, Pass, Swallow };
  Verdict Apply(const KeyRecord& record, uint32_t message, const platform::KBDLLHOOKSTRUCT& event);
  Verdict PlayMacro(const KeyRecord& record, uint32_t message);
  Verdict SendSingleKey(const KeyRecord& record, uint32_t message, const platform::KBDLLHOOKSTRUCT& event);
  Verdict SendMediaOrLaunch(const KeyRecord& record, uint32_t message);
  Verdict QueueCombination(const KeyRecord& record, uint32_t message);
  void SendKey(uint32_t code, bool up, bool extended);

  Services services_;
  HeldKeyTracker keys_;
  PlaybackQueue queue_;
  IKeyboardHookListener* editor_ = nullptr;
  SimpleThread* attached_ = nullptr;

  // UI thread only.
  int32_t stopOnKeyRelease_ = 0;
  MacroStep comboDownMarker_;

  Now now_;

  // Worker thread only: when the step being played was due on the
  // schedule; each next step is due its delay after that, so lateness does
  // not add up.
  std::optional<Clock::time_point> due_;
};

}  // namespace keyloom
