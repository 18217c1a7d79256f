#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "macros/IKeyboardHookListener.h"
#include "macros/MacroGroup.h"
#include "macros/MacroLibrary.h"

namespace keyloom {

// What the recorder needs of the macro editor that hosts it.
class IMacroRecorderHost {
 public:
  virtual ~IMacroRecorderHost() = default;
  // Index of the page selector ("tab_macro_mode_selection"): 0 macro,
  // 1 single key.
  virtual int Page() const = 0;
  // Whether "chk_macro_record" is checked.
  virtual bool IsRecordChecked() const = 0;
  // The group shown in the step view; null when none.
  virtual MacroGroup* ShownGroup() = 0;
  // The steps of the shown group changed: the step view must redraw.
  virtual void StepsChanged() = 0;
  // The keyboard picture's name for the key with this id; false when the
  // picture has no such key.
  virtual bool PictureKeyName(uint32_t id, std::wstring* name) const = 0;
  // "edit_single_key": a new text (null keeps the text) and user data.
  virtual void SetSingleKey(const std::wstring* text, uint32_t userData) = 0;
};

// Milliseconds of wall time since the process started, on a monotonic clock.
int32_t ProcessMilliseconds();

// The macro editor's hook listener: records key events into the shown group
// (page 0, while "chk_macro_record" is checked) and captures the target of a
// single-key assignment (page 1). UI thread only.
class MacroRecorder : public IKeyboardHookListener {
 public:
  using Clock = std::function<int32_t()>;

  MacroRecorder(MacroLibrary& library, IMacroRecorderHost& host,
                Clock clock = &ProcessMilliseconds);

  int OnHookEvent(int* code, uint32_t* message, platform::KBDLLHOOKSTRUCT* event) override;

  // The time of the last recorded event; -1 until one is recorded.
  int32_t TimeStamp() const { return stamped_ ? timeStamp_ : -1; }
  // Forgets the last recorded event, as when the editor opens.
  void ResetTimeStamp() { stamped_ = false; }

 private:
  int RecordMacroEvent(uint32_t message, const platform::KBDLLHOOKSTRUCT& event);
  int CaptureSingleKey(uint32_t message, const platform::KBDLLHOOKSTRUCT& event);
  // The delay the previous step gets; false when it has none to get.
  bool DelayForPreviousStep(uint32_t* delay) const;

  MacroLibrary& library_;
  IMacroRecorderHost& host_;
  Clock clock_;
  int32_t timeStamp_ = -1;
  // Whether an event was recorded since the editor opened. Not the sign of
  // the stamp: the millisecond count turns negative after 24.8 days.
  bool stamped_ = false;
};

}  // namespace keyloom
