#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "actions/KeyAssignments.h"
#include "macros/KeyboardHook.h"
#include "platform/test/KeyTraffic.h"
#include "platform/test/RecordingInjector.h"
#include "platform/test/RecordingShell.h"
#include "platform/test/ScriptedHookSource.h"
#include "runtime/SimpleThread.h"

namespace keyloom {

// The main window's side of the hook, without the window: a KeyAssignments
// in the hook chain over test backends. The worker thread is started only by
// tests that want playback to run by itself; the others play the queue on
// the test thread with PlayAll.
class AssignmentFixture {
 public:
  explicit AssignmentFixture(KeyAssignments::Now now = nullptr) {
    source.SetTrafficErrorHandler([](const std::string& error) { ADD_FAILURE() << error; });
    hook.Install(&source);
    assignments = std::make_unique<KeyAssignments>(
        KeyAssignments::Services{records, library, config, [this] { return deviceOpen; }, &injector, &shell,
                                 thread},
        std::move(now));
    hook.AddListener(assignments.get());
  }
  ~AssignmentFixture() {
    thread.Stop();
    hook.RemoveListener(assignments.get());
  }

  KeyRecord& Assign(KeyRecord record) {
    records.records.push_back(std::move(record));
    return records.records.back();
  }

  platform::ScriptedHookSource::FeedResult Feed(std::string_view traffic) { return source.Feed(traffic); }

  void StartWorker() {
    assignments->AttachTo(thread);
    thread.Start(nullptr);
  }

  // Plays the queue to its end on this thread.
  void PlayAll() {
    for (int i = 0; i < 10000000 && !assignments->Queue().IsEmpty(); ++i) {
      assignments->PlayNextStep(&thread, nullptr);
    }
  }

  std::string Injected() const { return platform::FormatInjected(injector.Events()); }

  // The waiting steps as key traffic, a delay after a slash: "-Ctrl/1".
  std::string Queued() const {
    std::string text;
    for (const MacroStep& step : assignments->Queue().Snapshot()) {
      if (!text.empty()) text += ' ';
      text += step.state == 1 ? '-' : '+';
      text += step.code == LOCK_WORKSTATION_CODE ? "Lock" : platform::KeyTrafficName(step.code);
      if (step.delay != 0) text += "/" + std::to_string(step.delay);
    }
    return text;
  }

  bool deviceOpen = true;
  KeyRecordList records;
  MacroLibrary library;
  DeviceConfig config;
  platform::RecordingInjector injector;
  platform::RecordingShell shell;
  SimpleThread thread;
  platform::ScriptedHookSource source;
  KeyboardHook hook;
  std::unique_ptr<KeyAssignments> assignments;
};

inline MacroStep Down(uint32_t code, uint32_t delay = 0) { return {code, 0, delay, {}}; }
inline MacroStep Up(uint32_t code, uint32_t delay = 0) { return {code, 1, delay, {}}; }

}  // namespace keyloom
