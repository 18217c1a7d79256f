#include "platform/virtual/VirtualKeyboard.h"

#include <algorithm>
#include <chrono>
#include <charconv>
#include <cwctype>

#include "platform/linux/KeyTable.h"

namespace keyloom::platform {
namespace {

constexpr uint8_t kReportId = 0x07;

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring Upper(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

VirtualInterface MakeInterface(int mi, int col, HidCaps caps, bool vendor, int instance) {
  VirtualInterface iface;
  iface.mi = mi;
  iface.col = col;
  iface.caps = caps;
  iface.vendorCommands = vendor;
  wchar_t ids[64];
  std::swprintf(ids, 64, L"vid_%04x&pid_%04x", VirtualKeyboard::kVendorId, VirtualKeyboard::kProductId);
  std::wstring path = L"\\\\?\\hid#" + std::wstring(ids);
  wchar_t part[16];
  if (mi >= 0) {
    std::swprintf(part, 16, L"&mi_%02x", mi);
    path += part;
  }
  if (col >= 0) {
    std::swprintf(part, 16, L"&col%02x", col);
    path += part;
  }
  std::swprintf(part, 16, L"#virtual&%04x", instance);
  path += part;
  path += L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  iface.path = path;
  // Notifications spell device paths in capitals.
  iface.notifiedPath = Upper(path);
  return iface;
}

bool ParseKeyNumber(std::string_view text, uint32_t* value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size();
}

// The keys are those of a full-size keyboard, the same set the Linux
// backends translate; the virtual keyboard types them as that keyboard would.
bool HasKey(uint32_t code) {
  const uint32_t vk = code & 0xFF;
  if (code > 0x1FF || vk == 0 || vk == 0xFF) return false;
  return linux_input::EvdevFromVirtualKey(vk, (code & 0x100) != 0) != 0;
}

}  // namespace

VirtualKeyboard::VirtualKeyboard(const std::string& logPath) : log_(logPath) {
  // Boot keyboard: 8-byte input report plus the LED output byte, no report ids.
  interfaces_.push_back(MakeInterface(0, -1, HidCaps{6, 0x01, 9, 2, 0}, false, 0));
  // The vendor collection: report 7, 8 bytes with the id, as output and feature.
  interfaces_.push_back(MakeInterface(1, 1, HidCaps{1, 0xFF00, 0, 8, 8}, true, 1));
  // Media keys: a consumer-control collection with its own input report.
  interfaces_.push_back(MakeInterface(1, 2, HidCaps{1, 0x0C, 3, 0, 0}, false, 2));
}

int VirtualKeyboard::FindInterface(const std::wstring& path) const {
  const std::wstring wanted = Lower(path);
  for (size_t i = 0; i < interfaces_.size(); ++i) {
    if (Lower(interfaces_[i].path) == wanted) return static_cast<int>(i);
  }
  return -1;
}

bool VirtualKeyboard::Plugged() const {
  std::lock_guard guard(mutex_);
  return plugged_;
}

uint64_t VirtualKeyboard::Generation() const {
  std::lock_guard guard(mutex_);
  return generation_;
}

void VirtualKeyboard::Unplug() {
  {
    std::lock_guard guard(mutex_);
    if (!plugged_) return;
    plugged_ = false;
    ++generation_;
  }
  Notify(DeviceChange::RemoveComplete);
}

void VirtualKeyboard::Plug() {
  {
    std::lock_guard guard(mutex_);
    if (plugged_) return;
    plugged_ = true;
    ++generation_;
  }
  Notify(DeviceChange::Arrival);
}

void VirtualKeyboard::Notify(DeviceChange event) {
  std::vector<Listener> listeners;
  {
    std::lock_guard guard(mutex_);
    for (const auto& [id, listener] : listeners_) listeners.push_back(listener);
  }
  for (const VirtualInterface& iface : interfaces_) {
    for (const Listener& listener : listeners) listener(event, iface.notifiedPath);
  }
}

int VirtualKeyboard::AddListener(Listener listener) {
  std::lock_guard guard(mutex_);
  listeners_[nextListener_] = std::move(listener);
  return nextListener_++;
}

void VirtualKeyboard::RemoveListener(int id) {
  std::lock_guard guard(mutex_);
  listeners_.erase(id);
}

void VirtualKeyboard::SetFirmwareVersion(uint8_t major, uint8_t minor) {
  std::lock_guard guard(mutex_);
  firmwareMajor_ = major;
  firmwareMinor_ = minor;
}

void VirtualKeyboard::SetFailOpens(bool fail) {
  std::lock_guard guard(mutex_);
  failOpens_ = fail;
}

void VirtualKeyboard::SetFailFeatureTransfers(bool fail) {
  std::lock_guard guard(mutex_);
  failFeatures_ = fail;
}

void VirtualKeyboard::SetHoldWrites(bool hold) {
  std::lock_guard guard(mutex_);
  holdWrites_ = hold;
}

void VirtualKeyboard::SetReplugOnFactoryReset(bool replug) {
  std::lock_guard guard(mutex_);
  replugOnReset_ = replug;
}

bool VirtualKeyboard::FailOpens() const {
  std::lock_guard guard(mutex_);
  return failOpens_;
}

VirtualKeyboardState VirtualKeyboard::State() const {
  std::lock_guard guard(mutex_);
  return state_;
}

bool VirtualKeyboard::Decode(const uint8_t* data, size_t length) {
  ++state_.reportsReceived;
  if (length < 8 || data[0] != kReportId) return false;
  if (data[1] == 0xF1) {
    ++state_.firmwareQueries;
  } else if (data[1] == 0xF0 && data[2] == 0xAA) {
    ++state_.factoryResets;
    const int resets = state_.factoryResets, queries = state_.firmwareQueries, received = state_.reportsReceived;
    state_ = VirtualKeyboardState{};
    state_.factoryResets = resets;
    state_.firmwareQueries = queries;
    state_.reportsReceived = received;
    return true;
  } else if (data[1] == 0xFF && data[2] == 0xFF && data[3] == 0x20) {
    state_.sideMode = data[6] & 0x0F;
    state_.sideLevel = data[6] >> 4;
  } else if (data[1] == 0xFF && data[2] == 0xFF) {
    state_.effect = data[3];
    state_.brightness = data[4];
    state_.speed = data[5];
    state_.option = data[6];
    state_.direction = data[7];
  }
  return false;
}

bool VirtualKeyboard::ReceiveSetFeature(int interface, const uint8_t* data, size_t length) {
  bool reset = false;
  {
    std::lock_guard guard(mutex_);
    if (!plugged_ || failFeatures_ || interface < 0 || interface >= static_cast<int>(interfaces_.size()) ||
        !interfaces_[interface].vendorCommands || length != 8 || data[0] != kReportId) {
      return false;
    }
    log_.Append("set-feature", data, length);
    reset = Decode(data, length) && replugOnReset_;
  }
  if (reset) {
    Unplug();
    Plug();
  }
  return true;
}

bool VirtualKeyboard::AnswerGetFeature(int interface, uint8_t* data, size_t length) {
  std::lock_guard guard(mutex_);
  if (!plugged_ || failFeatures_ || interface < 0 || interface >= static_cast<int>(interfaces_.size()) ||
      !interfaces_[interface].vendorCommands || length != 8 || data[0] != kReportId) {
    return false;
  }
  log_.Append("get-feature", data, length);
  ++state_.reportsReceived;
  std::fill(data + 1, data + length, 0);
  data[1] = firmwareMajor_;
  data[2] = firmwareMinor_;
  return true;
}

void VirtualKeyboard::DeliverWrite(const std::vector<uint8_t>& bytes) {
  bool reset = false;
  {
    std::lock_guard guard(mutex_);
    log_.Append("write", bytes.data(), bytes.size());
    reset = Decode(bytes.data(), bytes.size()) && replugOnReset_;
  }
  if (reset) {
    Unplug();
    Plug();
  }
}

VirtualKeyboard::WriteOutcome VirtualKeyboard::ReceiveWrite(int interface, const uint8_t* data, size_t length,
                                                            uint64_t& ticket) {
  std::vector<uint8_t> bytes;
  {
    std::lock_guard guard(mutex_);
    if (!plugged_ || interface < 0 || interface >= static_cast<int>(interfaces_.size()) ||
        !interfaces_[interface].vendorCommands || length == 0 || length > 8 || data[0] != kReportId) {
      return WriteOutcome::Refused;
    }
    bytes.assign(data, data + length);
    if (holdWrites_) {
      ticket = nextTicket_++;
      heldWrites_[ticket] = HeldWrite{interface, std::move(bytes)};
      return WriteOutcome::Held;
    }
  }
  DeliverWrite(bytes);
  return WriteOutcome::Done;
}

bool VirtualKeyboard::WaitHeldWrite(uint64_t ticket, uint32_t timeoutMs) {
  std::unique_lock guard(mutex_);
  return writeDelivered_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                  [&] { return heldWrites_.count(ticket) == 0; });
}

size_t VirtualKeyboard::HeldWriteCount() const {
  std::lock_guard guard(mutex_);
  return heldWrites_.size();
}

void VirtualKeyboard::ReleaseHeldWrites() {
  std::map<uint64_t, HeldWrite> held;
  {
    std::lock_guard guard(mutex_);
    held = heldWrites_;
  }
  for (const auto& [ticket, write] : held) DeliverWrite(write.bytes);
  {
    std::lock_guard guard(mutex_);
    for (const auto& [ticket, write] : held) heldWrites_.erase(ticket);
  }
  writeDelivered_.notify_all();
}

void VirtualKeyboard::SetKeySink(KeySink sink) {
  std::lock_guard guard(keyMutex_);
  keySink_ = std::move(sink);
}

void VirtualKeyboard::SetKeyNames(KeyNameResolver resolver) {
  std::lock_guard guard(keyMutex_);
  keyNames_ = std::move(resolver);
}

bool VirtualKeyboard::FindKey(const std::string& text, uint32_t* code) const {
  KeyNameResolver names;
  {
    std::lock_guard guard(keyMutex_);
    names = keyNames_;
  }
  uint32_t found = 0;
  if (!(names && names(text, &found)) && !ParseKeyNumber(text, &found)) return false;
  if (!HasKey(found)) return false;
  *code = found;
  return true;
}

bool VirtualKeyboard::TypeKey(uint32_t code, bool down) {
  if (!HasKey(code) || !Plugged()) return false;
  const uint32_t time = static_cast<uint32_t>(VirtualKeyboardLog::Now());
  std::lock_guard guard(keyMutex_);
  if (keySink_) {
    keySink_(code, down, time);
  } else {
    log_.AppendKey(code, down, "passed");  // no hook: the desktop has it
  }
  return true;
}

void VirtualKeyboard::LogKey(uint32_t code, bool down, const char* fate) { log_.AppendKey(code, down, fate); }

}  // namespace keyloom::platform
