#pragma once

#include <poll.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/KeyboardHookSource.h"
#include "platform/linux/GrabbedKeyboard.h"
#include "platform/linux/HookDispatcher.h"
#include "platform/linux/KeyOutput.h"
#include "platform/linux/LowLevelTranslator.h"
#include "platform/linux/UeventMonitor.h"

namespace keyloom::platform::linux_input {

// The low-level keyboard hook on Linux. It follows the configured keyboard:
// every /dev/input/event* node whose input id carries the configured vendor
// and product and that reports keys is grabbed while it exists (hotplug
// through UeventMonitor). A reader thread turns each key event into a
// low-level record, asks the hook procedure on the installing thread, and
// re-emits what is not swallowed through the node's clone, frame by frame,
// in the order the keyboard sent it. A procedure that has not taken up a
// key's press within 300 ms lets the press pass, as the system does with a
// slow hook; a key's auto-repeats and release always share its press's fate
// (see HookDispatcher). Nothing is dropped or reordered either way.
//
// It also offers its clones to the key injector, so that keyloom's own keys
// join the key state of the keyboard they stand in for (a key-up then
// releases a key held on the real keyboard). The hook reads only the real
// nodes, so what is injected into a clone never comes back as a hook event.
class EvdevHookSource : public IKeyboardHookSource, public ICloneOutputs {
 public:
  static constexpr std::chrono::milliseconds kVerdictTimeout{300};
  // After a failed wait for input the reader pauses before it tries again,
  // twice as long each time up to the longest pause, so that a failure
  // that persists does not turn the reader into a busy loop.
  static constexpr std::chrono::milliseconds kFirstRetryPause{10};
  static constexpr std::chrono::milliseconds kLongestRetryPause{1000};

  // poll(2); tests pass one that fails.
  using PollFunction = std::function<int(pollfd* fds, nfds_t count, int timeoutMs)>;

  EvdevHookSource(int32_t vid, int32_t pid, PollFunction poll = ::poll);
  ~EvdevHookSource() override;

  bool Install(int hookType, HookProcedure procedure) override;
  bool Uninstall() override;
  // No other hooks exist here: every event no listener consumed is delivered.
  intptr_t CallNext(int code, uint32_t message, KBDLLHOOKSTRUCT* event) override;

  // Any thread.
  std::vector<std::shared_ptr<KeyOutput>> CloneOutputs() const override;

  // Nodes currently grabbed (for diagnostics and tests).
  int GrabbedCount() const { return grabbed_.load(); }
  // Presses whose verdict did not come in time.
  uint64_t TimedOutCount() const;

 private:
  // The events of one SYN_REPORT, stamped with the report's time.
  struct Frame {
    uint64_t timeUs = 0;
    std::vector<input_event> events;
  };
  struct Keyboard {
    std::unique_ptr<GrabbedKeyboard> device;
    int source = 0;             // this node's name in the translator
    Frame partial;              // events since the last SYN_REPORT
    std::deque<Frame> ready;    // complete frames not yet passed on
  };

  void Run();
  // Sleeps `pause` unless Uninstall comes first; false when it did.
  bool PauseUnlessStopped(std::chrono::milliseconds pause);
  void ScanExisting();
  void Take(const std::string& node);
  void Release(const std::string& node);
  void Collect(Keyboard& keyboard, const std::vector<input_event>& events);
  void PassReadyFrames();
  void PassFrame(Keyboard& keyboard, const Frame& frame);
  bool IsOwnClone(const std::string& node) const;
  void PutCloneFirst(const std::shared_ptr<KeyOutput>& clone);

  const int32_t vid_;
  const int32_t pid_;
  const PollFunction poll_;
  std::unique_ptr<HookDispatcher> dispatcher_;
  std::thread reader_;
  int wakeFd_ = -1;
  std::atomic<bool> stop_{false};
  std::mutex stopMutex_;
  std::condition_variable stopped_;  // wakes a reader pausing after a failure
  std::atomic<int> grabbed_{0};
  UeventMonitor monitor_;
  // Reader thread only (and Install before the thread starts).
  std::map<std::string, Keyboard> keyboards_;
  std::set<std::string> cloneSysPaths_;
  LowLevelTranslator translator_;  // one key state for all nodes
  int nextSource_ = 0;
  // The clones for the injector, the latest key's first; written by the
  // reader thread, read by any.
  mutable std::mutex clonesMutex_;
  std::vector<std::shared_ptr<KeyOutput>> clones_;
};

}  // namespace keyloom::platform::linux_input
