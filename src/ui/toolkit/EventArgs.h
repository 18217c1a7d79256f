#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>

namespace keyloom::ui {

class SWindow;

// What a widget tells its host window.
enum class EventKind {
  Command,         // a button, check box, radio box or menu-like widget was clicked
  SliderPos,       // a slider's position changed (also while dragged)
  ComboSelChange,  // a combo box's selection changed
  TabSelChange,    // a tab control showed another page
  TextChange,      // an edit's text changed (every keystroke)
  KeyEnter,        // Enter was pressed in an edit
  ListSelChange,   // a list view's selected row changed
  ListItemClick,   // a list view's row was clicked (or double-clicked: flags 1)
  HeaderClick,     // a list view's column header was clicked
};

// One notification and what it carries. Which fields are filled depends on
// the kind: `value` is the new position, selection or check state; `index`
// and `column` a list cell; `text` an edit's text; `point` where the mouse was.
struct EventArgs {
  EventKind kind = EventKind::Command;
  SWindow* sender = nullptr;
  QString senderName;
  int senderId = 0;
  int value = 0;
  int index = -1;
  int column = -1;
  QString text;
  QPoint point;
  std::uint32_t flags = 0;
};

}  // namespace keyloom::ui
