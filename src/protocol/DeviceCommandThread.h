#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "device/HidDevice.h"
#include "protocol/CommandPacer.h"
#include "protocol/KeyboardReports.h"

namespace keyloom {

// The keyboard's identifiers as config.xml gives them.
struct KeyboardIds {
  int32_t vid = 0;
  int32_t pid = 0;  // 0: any product
  int32_t interface = -1;
  int32_t subdevice = -1;
};

// What became of a connection command, handed to the owner on the device
// thread (the main window carries it over to the UI thread).
struct DeviceReply {
  enum class Kind { Connected, Arrived, Reopened };
  Kind kind = Kind::Connected;
  bool opened = false;
  // Whether the firmware query after the open succeeded, and its answer
  // (major × 256 + minor).
  bool versionRead = false;
  int32_t firmwareVersion = -1;
};

// Sends the keyboard's commands from one thread of their own, in the order
// they were asked for, so that no other thread ever waits on the keyboard
// (a write may take 3000 ms; lighting commands keep 100 ms apart). A
// lighting or side-light command that is still waiting its turn is replaced
// by a newer one of the same kind, so a slider dragged quickly sends its
// latest position rather than every step in arrears; it is never moved past
// a command of another kind (a factory reset keeps its place among the
// lighting commands around it). The thread sleeps while there is nothing to
// send.
class DeviceCommandThread {
 public:
  using ReplyHandler = std::function<void(const DeviceReply&)>;

  // `device` and `pacer` are used from the device thread only from now on.
  DeviceCommandThread(HidDevice& device, CommandPacer& pacer, ReplyHandler onReply);
  ~DeviceCommandThread();
  DeviceCommandThread(const DeviceCommandThread&) = delete;
  DeviceCommandThread& operator=(const DeviceCommandThread&) = delete;

  // Finds and opens the keyboard by its identifiers and reads its firmware
  // version (reply Connected).
  void Connect(const KeyboardIds& ids);
  // Opens the arrived interface by its path and reads the version (reply
  // Arrived); a successful open also restarts the lighting pause.
  void OpenArrived(const std::wstring& path);
  // Closes and opens again by identifiers, then reads the version (reply
  // Reopened).
  void Reopen(const KeyboardIds& ids);
  void Close();
  // The next lighting command waits 100 ms from now.
  void RestartPacing();
  // Lighting commands, 100 ms apart; a waiting one of the same kind is
  // replaced (see above).
  void SendLightingEffect(const KeyboardReport& report);
  void SendSideLight(const KeyboardReport& report);
  // A feature report without pacing (the start-up effect).
  void SendUnpaced(const KeyboardReport& report);
  // An output report (the factory reset), with the 3000 ms write time-out.
  void Write(const KeyboardReport& report);

  // Waits until every command asked for so far has been carried out; false
  // when `timeout` ran out first. For tests and shutdown.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);
  // Drops what is still queued, lets the command in progress finish and
  // ends the thread. The destructor stops too.
  void Stop();

  // Lighting reports replaced before they were sent, since construction.
  uint64_t Replaced() const;

 private:
  enum class Kind { Connect, OpenArrived, Reopen, Close, RestartPacing, Lighting, SideLight, Unpaced, Write };
  struct Command {
    Kind kind;
    KeyboardReport report{};
    KeyboardIds ids;
    std::wstring path;
  };

  void Enqueue(Command command);
  void Loop();
  void Execute(const Command& command);
  DeviceReply OpenAndQuery(DeviceReply::Kind kind, const std::function<bool()>& open);
  static bool IsPaced(Kind kind) { return kind == Kind::Lighting || kind == Kind::SideLight; }

  HidDevice& device_;
  CommandPacer& pacer_;
  ReplyHandler onReply_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::condition_variable idle_;
  std::deque<Command> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  uint64_t replaced_ = 0;
  std::thread thread_;
};

}  // namespace keyloom
