#pragma once

#include "ui/toolkit/SEdit.h"

namespace keyloom::widgets {

// The extended edit ("editex"): the toolkit's edit (Qt's line edit, so
// Chinese input and everything else an edit does still work) where
//  - Enter does not reach the line edit: it raises EventKeyEnter (KeyEnter
//    with the text), once per key press, auto-repeat included;
//  - a click on the edit while it is disabled enables it; that click is
//    taken by the widget, so it does not move the caret. Clicks on an
//    enabled edit reach the line edit as usual.
// With a `skin`, the line edit draws no frame or background of its own, so
// the skin shows around the text.
class SEditEx : public ui::SEdit {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(ui::SEdit, "editex")
 public:
  SEditEx(ui::UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;

  // Subscribes to one of this edit's notifications by its number or name
  // (EventKeyEnter::kId, EventKeyEnter::kName); 0 when it has none of
  // that number or name. The token unsubscribes.
  int SubscribeEvent(int eventId, EventHandler handler);
  int SubscribeEvent(const QString& eventName, EventHandler handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FireKeyEnter();
};

}  // namespace keyloom::widgets
