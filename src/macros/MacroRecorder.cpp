#include "macros/MacroRecorder.h"

#include <chrono>

#include "macros/KeyNameTable.h"

namespace keyloom {

namespace {

std::chrono::steady_clock::time_point ProcessStart() {
  static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  return start;
}

// Taken while the program loads, which is as close to its start as portable
// code gets (and before anyone can ask for the time).
[[maybe_unused]] const std::chrono::steady_clock::time_point kTakenAtLoad = ProcessStart();

}  // namespace

int32_t ProcessMilliseconds() {
  auto elapsed = std::chrono::steady_clock::now() - ProcessStart();
  return static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

MacroRecorder::MacroRecorder(MacroLibrary& library, IMacroRecorderHost& host, Clock clock)
    : library_(library), host_(host), clock_(std::move(clock)) {}

int MacroRecorder::OnHookEvent(int*, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) {
  if (!message || !event) return 0;
  switch (host_.Page()) {
    case 0:
      return RecordMacroEvent(*message, *event);
    case 1:
      return CaptureSingleKey(*message, *event);
    default:
      return 0;
  }
}

bool MacroRecorder::DelayForPreviousStep(uint32_t* delay) const {
  switch (library_.mode) {
    case 0: {
      // Before the first event of this session there is nothing to measure
      // from: the old last step keeps its delay rather than getting the
      // whole running time of the program.
      if (!stamped_) return false;
      // Unsigned, so the difference stays right when the count wraps.
      *delay = static_cast<uint32_t>(clock_()) - static_cast<uint32_t>(timeStamp_);
      return true;
    }
    case 1:
      *delay = static_cast<uint32_t>(library_.delay);
      return true;
    default:
      *delay = 0;
      return true;
  }
}

int MacroRecorder::RecordMacroEvent(uint32_t message, const platform::KBDLLHOOKSTRUCT& event) {
  if (!host_.IsRecordChecked()) return 0;
  const bool down = IsKeyDownMessage(message);
  if (!down && !IsKeyUpMessage(message)) return 1;

  MacroGroup* group = host_.ShownGroup();
  const bool empty = !group || group->steps.empty();
  // A release whose press was not recorded would start the macro with a
  // lone key up.
  if (!down && empty) return 1;

  uint32_t delay = 0;
  if (!empty && DelayForPreviousStep(&delay)) group->steps.back().delay = delay;

  const uint32_t code = event.vkCode & 0xFF;
  if (group && code != 0) {
    const wchar_t* name = LookupKeyName(event.vkCode, (event.flags & platform::LLKHF_EXTENDED) != 0);
    group->AddStep(code, down ? 0 : 1, 0, name ? name : L"");
  }
  host_.StepsChanged();
  timeStamp_ = clock_();
  stamped_ = true;
  return 1;
}

int MacroRecorder::CaptureSingleKey(uint32_t message, const platform::KBDLLHOOKSTRUCT& event) {
  if (!IsKeyDownMessage(message)) return 0;
  const uint32_t vk = event.vkCode;
  library_.skcode = static_cast<int32_t>(vk);
  std::wstring name;
  if (vk != 0 && host_.PictureKeyName(vk, &name)) {
    host_.SetSingleKey(&name, vk);
  } else {
    host_.SetSingleKey(nullptr, 0);
  }
  return 1;
}

}  // namespace keyloom
