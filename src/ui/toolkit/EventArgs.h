#pragma once

#include <QString>

namespace keyloom::ui {

class SWindow;

// What a widget tells its host window.
enum class EventKind {
  Command,         // a button or menu-like widget was clicked
  SliderPos,       // a slider's position changed (also while dragged)
  ComboSelChange,  // a combo box's selection changed
};

struct EventArgs {
  EventKind kind = EventKind::Command;
  SWindow* sender = nullptr;
  QString senderName;
  int senderId = 0;
  int value = 0;  // the new position or selection, where the event has one
};

}  // namespace keyloom::ui
