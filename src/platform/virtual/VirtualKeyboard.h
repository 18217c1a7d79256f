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
//
// It also types: a key typed on it goes to the key sink (the virtual hook
// source, VirtualHookSource) or, with none, straight on to the desktop. Keys
// are named by their code, the virtual-key code with 0x100 added for an
// extended key, as keyloom's data files name them.
class VirtualKeyboard {
 public:
  static constexpr uint16_t kVendorId = 0x1A2B;
  static constexpr uint16_t kProductId = 0x0001;
  static constexpr uint16_t kVersionNumber = 0x0102;
  static constexpr int kCommandInterface = 1;   // config.xml "interface"
  static constexpr int kCommandCollection = 1;  // the "subdevice" that names it exactly

  using Listener = std::function<void(DeviceChange, const std::wstring& path)>;
  // Takes a typed key with the time it was typed (the log's milliseconds).
  // Called on the typing thread; it must not call back into the keyboard.
  using KeySink = std::function<void(uint32_t code, bool down, uint32_t timeMs)>;
  // A key's name as the recorder shows it (UTF-8, any letter case) to its code.
  using KeyNameResolver = std::function<bool(const std::string& name, uint32_t* code)>;

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

  // Typing. The sink replaces the previous one; an empty one detaches it, and
  // once SetKeySink returns the old sink is no longer being called.
  void SetKeySink(KeySink sink);
  void SetKeyNames(KeyNameResolver resolver);
  // A key's code from its name (through the resolver) or its number
  // (decimal or 0x hex, 0x100 added for the extended variant). A name wins:
  // "1" is the digit key. False for keys this keyboard does not have.
  bool FindKey(const std::string& text, uint32_t* code) const;
  // Presses or releases a key found by FindKey; false (nothing typed) when
  // unplugged or for a key the keyboard does not have.
  bool TypeKey(uint32_t code, bool down);
  // A key line in the log; `fate` is "passed", "swallowed" or "injected".
  void LogKey(uint32_t code, bool down, const char* fate);

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
  // Writes waiting for ReleaseHeldWrites; a test releases only once the
  // write it stages has reached the keyboard.
  size_t HeldWriteCount() const;

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

  // Apart from mutex_: a sink may take time, and SetKeySink must wait for a
  // typing call in progress to leave it.
  mutable std::mutex keyMutex_;
  KeySink keySink_;
  KeyNameResolver keyNames_;
};

}  // namespace keyloom::platform
