#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DeviceNotifier.h"
#include "platform/HidPlatform.h"
#include "platform/virtual/VirtualKeyboardLog.h"

namespace keyloom::platform {

// What the virtual keyboard shows, decoded from the reports it received.
struct VirtualKeyboardState {
  int effect = 20;  // effect number of the last lighting report
  int brightness = 5;
  int speed = 1;
  int option = 1;  // byte 6 of the lighting report, as received
  int direction = 0;
  int sideMode = 0;
  int sideLevel = 4;
  int factoryResets = 0;
  int firmwareQueries = 0;
  int reportsReceived = 0;  // every report taken, whatever its kind
};

// One HID interface (one top-level collection) of the virtual keyboard.
struct VirtualInterface {
  int mi = -1;   // -1: not part of a composite device
  int col = -1;  // -1: the interface has a single collection
  HidCaps caps;
  bool vendorCommands = false;  // takes the 8-byte command reports
  std::wstring path;            // as the enumeration hands it out
  std::wstring notifiedPath;    // as device-change notifications carry it
};

// An in-process keyboard that looks like the real one to keyloom: a composite
// USB device with the sample config.xml's identifiers, a boot keyboard on
// interface 0 and two collections on interface 1 (first the vendor
// collection that takes the 8-byte command reports, then media keys), so
// that interface 1 with any collection finds the command collection while
// interface 0 finds a collection that refuses commands. Thread-safe. It can be unplugged and plugged back, told
// to fail opens or feature transfers, and told to hold writes until released.
class VirtualKeyboard {
 public:
  static constexpr uint16_t kVendorId = 0x1A2B;
  static constexpr uint16_t kProductId = 0x0001;
  static constexpr uint16_t kVersionNumber = 0x0102;
  static constexpr int kCommandInterface = 1;   // config.xml "interface"
  static constexpr int kCommandCollection = 1;  // the "subdevice" that names it exactly

  using Listener = std::function<void(DeviceChange, const std::wstring& path)>;

  // `logPath`: where to log received reports; empty for no log.
  explicit VirtualKeyboard(const std::string& logPath = {});

  const std::vector<VirtualInterface>& Interfaces() const { return interfaces_; }
  // The interface that takes the command reports.
  const VirtualInterface& CommandInterface() const { return interfaces_[1]; }
  // The interface whose enumeration or notification path this is; -1 if none.
  int FindInterface(const std::wstring& path) const;

  // Plugged-in state. Every plug starts a new generation; handles opened in
  // an earlier one are dead.
  bool Plugged() const;
  uint64_t Generation() const;
  void Unplug();
  void Plug();

  int AddListener(Listener listener);
  void RemoveListener(int id);

  void SetFirmwareVersion(uint8_t major, uint8_t minor);
  void SetFailOpens(bool fail);
  void SetFailFeatureTransfers(bool fail);
  void SetHoldWrites(bool hold);
  // A factory reset makes the real keyboard restart: it leaves the bus and
  // comes back. On by default.
  void SetReplugOnFactoryReset(bool replug);
  bool FailOpens() const;

  VirtualKeyboardState State() const;

  // Transfers, as the platform hands them on. False when refused.
  bool ReceiveSetFeature(int interface, const uint8_t* data, size_t length);
  bool AnswerGetFeature(int interface, uint8_t* data, size_t length);

  enum class WriteOutcome { Done, Held, Refused };
  // Takes a copy of the bytes. When writes are held, `ticket` names the
  // write for WaitHeldWrite.
  WriteOutcome ReceiveWrite(int interface, const uint8_t* data, size_t length, uint64_t& ticket);
  // True when the held write was delivered within `timeoutMs`.
  bool WaitHeldWrite(uint64_t ticket, uint32_t timeoutMs);
  // Delivers every held write as if the bus had caught up.
  void ReleaseHeldWrites();

 private:
  struct HeldWrite {
    int interface;
    std::vector<uint8_t> bytes;
  };

  void Notify(DeviceChange event);
  // Applies a report to the state; true when it was a factory reset.
  bool Decode(const uint8_t* data, size_t length);
  void DeliverWrite(const std::vector<uint8_t>& bytes);

  std::vector<VirtualInterface> interfaces_;
  VirtualKeyboardLog log_;

  mutable std::mutex mutex_;
  std::condition_variable writeDelivered_;
  bool plugged_ = true;
  uint64_t generation_ = 1;
  uint8_t firmwareMajor_ = 1;
  uint8_t firmwareMinor_ = 2;
  bool failOpens_ = false;
  bool failFeatures_ = false;
  bool holdWrites_ = false;
  bool replugOnReset_ = true;
  VirtualKeyboardState state_;
  uint64_t nextTicket_ = 1;
  std::map<uint64_t, HeldWrite> heldWrites_;
  std::map<int, Listener> listeners_;
  int nextListener_ = 1;
};

}  // namespace keyloom::platform
