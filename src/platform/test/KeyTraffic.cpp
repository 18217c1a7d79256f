#include "platform/test/KeyTraffic.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "platform/KeyInjector.h"
#include "platform/test/RecordingInjector.h"

namespace keyloom::platform {

namespace {

struct NamedKey {
  uint32_t vk;
  const char* name;
  uint32_t scan;
};

// Names for the keys tests use; letters, digits and F-keys are built below.
constexpr NamedKey kNamedKeys[] = {
    {0x08, "Backspace", 0x0E}, {0x09, "Tab", 0x0F},       {0x0D, "Enter", 0x1C},
    {0x10, "Shift", 0x2A},     {0x11, "Ctrl", 0x1D},      {0x12, "Alt", 0x38},
    {0x13, "Pause", 0x45},     {0x14, "CapsLock", 0x3A},  {0x1B, "Esc", 0x01},
    {0x20, "Space", 0x39},     {0x21, "PageUp", 0x49},    {0x22, "PageDown", 0x51},
    {0x23, "End", 0x4F},       {0x24, "Home", 0x47},      {0x25, "Left", 0x4B},
    {0x26, "Up", 0x48},        {0x27, "Right", 0x4D},     {0x28, "Down", 0x50},
    {0x2D, "Insert", 0x52},    {0x2E, "Delete", 0x53},    {0x5B, "WinLeft", 0x5B},
    {0x5C, "WinRight", 0x5C},  {0x5D, "App", 0x5D},       {0xA0, "ShiftLeft", 0x2A},
    {0xA1, "ShiftRight", 0x36}, {0xA2, "CtrlLeft", 0x1D}, {0xA3, "CtrlRight", 0x1D},
    {0xA4, "AltLeft", 0x38},   {0xA5, "AltRight", 0x38},  {0xAD, "VolumeMute", 0},
    {0xAE, "VolumeDown", 0},   {0xAF, "VolumeUp", 0},     {0xB0, "MediaNext", 0},
    {0xB1, "MediaPrev", 0},    {0xB2, "MediaStop", 0},    {0xB3, "MediaPlay", 0},
};

constexpr char kLetterScans[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                 0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value);
  return buffer;
}

bool ParseNumber(std::string_view text, uint32_t* value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string KeyTrafficName(uint32_t vk) {
  if (vk >= 'A' && vk <= 'Z') return std::string(1, static_cast<char>(vk));
  if (vk >= '0' && vk <= '9') return std::string(1, static_cast<char>(vk));
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);
  for (const NamedKey& key : kNamedKeys) {
    if (key.vk == vk) return key.name;
  }
  return Hex(vk);
}

bool KeyTrafficCode(std::string_view name, uint32_t* vk) {
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
    *vk = static_cast<uint8_t>(name[0]);
    return true;
  }
  if (name.size() >= 2 && name[0] == 'F' && name[1] >= '1' && name[1] <= '9') {
    uint32_t n = 0;
    if (ParseNumber(name.substr(1), &n) && n >= 1 && n <= 24) {
      *vk = 0x70 + n - 1;
      return true;
    }
  }
  for (const NamedKey& key : kNamedKeys) {
    if (name == key.name) {
      *vk = key.vk;
      return true;
    }
  }
  return ParseNumber(name, vk);
}

uint32_t TestScanCode(uint32_t vk) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<uint32_t>(kLetterScans[vk - 'A']);
  if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
  if (vk == '0') return 0x0B;
  if (vk >= 0x70 && vk <= 0x79) return 0x3B + (vk - 0x70);
  if (vk == 0x7A) return 0x57;
  if (vk == 0x7B) return 0x58;
  for (const NamedKey& key : kNamedKeys) {
    if (key.vk == vk) return key.scan;
  }
  return 0;
}

KeyTrafficParse ParseKeyTraffic(std::string_view text) {
  KeyTrafficParse result;
  const auto fail = [&result](std::string_view token, const char* why) {
    result.items.clear();
    result.error = "key traffic: " + std::string(why) + " in token \"" + std::string(token) + "\"";
    return result;
  };
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view whole = text.substr(pos, end - pos);
    std::string_view token = whole;
    pos = end;
    if (token.empty()) continue;

    KeyTrafficItem item;
    const char sign = token[0];
    if (sign != '+' && sign != '-' && sign != '~') {
      uint32_t ms = 0;
      if (token.size() <= 2 || token.substr(token.size() - 2) != "ms" ||
          !ParseNumber(token.substr(0, token.size() - 2), &ms)) {
        return fail(whole, "neither a key event nor a wait");
      }
      // waitMs is an int whose negative values mean "not a wait".
      if (ms > static_cast<uint32_t>(std::numeric_limits<int>::max())) return fail(whole, "a wait too long");
      item.waitMs = static_cast<int>(ms);
      result.items.push_back(item);
      continue;
    }
    token.remove_prefix(1);
    std::string_view flags;
    if (size_t colon = token.find(':'); colon != std::string_view::npos) {
      flags = token.substr(colon + 1);
      token = token.substr(0, colon);
      if (flags.empty() || flags.find_first_not_of("sxipmr") != std::string_view::npos) {
        return fail(whole, "unknown flag");
      }
    }
    uint32_t vk = 0;
    if (!KeyTrafficCode(token, &vk)) return fail(whole, "unknown key");
    bool sys = flags.find('s') != std::string_view::npos;
    item.message = sign == '+' ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN)
                   : sign == '-' ? (sys ? WM_SYSKEYUP : WM_KEYUP)
                                 : 0;
    item.event.vkCode = vk;
    item.event.scanCode = TestScanCode(vk);
    if (flags.find('r') != std::string_view::npos) item.event.scanCode |= 0x200;
    if (flags.find('x') != std::string_view::npos) item.event.flags |= LLKHF_EXTENDED;
    if (flags.find('i') != std::string_view::npos) item.event.flags |= LLKHF_INJECTED;
    if (flags.find('p') != std::string_view::npos) item.event.flags |= kPassedOnFlag;
    if (sys) item.event.flags |= LLKHF_ALTDOWN;
    if (sign == '-') item.event.flags |= LLKHF_UP;
    if (flags.find('m') != std::string_view::npos) item.event.dwExtraInfo = kKeyloomExtraInfo;
    result.items.push_back(item);
  }
  return result;
}

std::string FormatKeyTrafficItem(const KeyTrafficItem& item) {
  if (item.waitMs >= 0) return std::to_string(item.waitMs) + "ms";
  const uint32_t message = item.message;
  const char sign = message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? '+'
                    : message == WM_KEYUP || message == WM_SYSKEYUP   ? '-'
                                                                      : '~';
  std::string text(1, sign);
  text += KeyTrafficName(item.event.vkCode);
  std::string flags;
  // On a message that is neither down nor up, "s" stands for the Alt flag alone.
  if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || (sign == '~' && (item.event.flags & LLKHF_ALTDOWN))) {
    flags += 's';
  }
  if (item.event.flags & LLKHF_EXTENDED) flags += 'x';
  if (item.event.flags & LLKHF_INJECTED) flags += 'i';
  if (item.event.flags & kPassedOnFlag) flags += 'p';
  if (item.event.dwExtraInfo == kKeyloomExtraInfo) flags += 'm';
  if (item.event.scanCode & 0x200) flags += 'r';
  if (!flags.empty()) text += ":" + flags;
  return text;
}

std::string FormatInjected(const std::vector<InjectedEvent>& events) {
  std::string text;
  for (const InjectedEvent& event : events) {
    if (!text.empty()) text += ' ';
    text += (event.flags & KEYEVENTF_KEYUP) ? '-' : '+';
    text += KeyTrafficName(event.vk);
    std::string flags;
    if (event.flags & KEYEVENTF_EXTENDEDKEY) flags += 'x';
    if (event.extraInfo != kKeyloomExtraInfo) flags += 'u';
    if (event.scan != TestScanCode(event.vk)) flags += "scan?";
    if (!flags.empty()) text += ":" + flags;
  }
  return text;
}

}  // namespace keyloom::platform
