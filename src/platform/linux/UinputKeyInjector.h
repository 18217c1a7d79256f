#pragma once

#include <memory>
#include <mutex>

#include "platform/KeyInjector.h"
#include "platform/linux/KeyOutput.h"

namespace keyloom::platform::linux_input {

// keybd_event on Linux. While the hook holds the keyboard, keys go out
// through the keyboard's clone, so that the desktop sees one key state: a
// key-up releases a key held on the real keyboard, a key-down of a key held
// there is a fresh press. Otherwise they go out through keyloom's own
// virtual keyboard, made through /dev/uinput, which can press every key of
// the shared key table.
//
// Which device a key takes:
// - a key held down on one of them (a clone or its own) goes to that one,
//   down or up, so it is never held twice;
// - otherwise a key-down goes to the first clone that has the key, the clone
//   of the keyboard the latest key came from first, else to its own device;
// - a key-up of a key held nowhere sends nothing (the kernel would drop it).
//
// Keys its own device still holds when it is destroyed are released first,
// so nothing stays pressed after keyloom stops; a clone releases what it
// holds when the hook lets go of the keyboard.
class UinputKeyInjector : public IKeyInjector {
 public:
  // The name other programs see for its own device.
  static constexpr const char* kDeviceName = "keyloom virtual keyboard";

  // `clones`: the hook's keyboards, or null when there is no hook; it must
  // outlive the injector.
  explicit UinputKeyInjector(const ICloneOutputs* clones = nullptr) : clones_(clones) {}
  // With an own device made elsewhere (tests).
  UinputKeyInjector(const ICloneOutputs* clones, std::unique_ptr<KeyOutput> own)
      : clones_(clones), own_(std::move(own)) {}
  ~UinputKeyInjector() override;
  UinputKeyInjector(const UinputKeyInjector&) = delete;
  UinputKeyInjector& operator=(const UinputKeyInjector&) = delete;

  // Creates its own device; false when /dev/uinput cannot be used (a denied
  // access also prints the permission hint).
  bool Create();

  void KeybdEvent(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) override;
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override;

  // Keys released when it is destroyed: give readers this long to take them
  // before the device goes.
  static constexpr int kReleaseGraceMs = 50;

 private:
  const ICloneOutputs* clones_;
  std::unique_ptr<KeyOutput> own_;
  // Keeps the calls' events in the order of the calls, whatever the threads.
  std::mutex mutex_;
};

}  // namespace keyloom::platform::linux_input
