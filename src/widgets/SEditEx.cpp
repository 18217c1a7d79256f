#include "widgets/SEditEx.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "widgets/EventKeyEnter.h"

namespace keyloom::widgets {

SEditEx::SEditEx(ui::UiApp& app, QWidget* parent) : SEdit(app, parent) { lineEdit()->installEventFilter(this); }

bool SEditEx::SetAttribute(const QString& name, const QString& value) {
  if (!SEdit::SetAttribute(name, value)) return false;
  if (name == QLatin1String("skin") && skin())
    lineEdit()->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
  return true;
}

int SEditEx::SubscribeEvent(int eventId, EventHandler handler) {
  return eventId == EventKeyEnter::kId ? Subscribe(EventKeyEnter::kKind, std::move(handler)) : 0;
}

int SEditEx::SubscribeEvent(const QString& eventName, EventHandler handler) {
  return eventName == QLatin1String(EventKeyEnter::kName) ? Subscribe(EventKeyEnter::kKind, std::move(handler)) : 0;
}

bool SEditEx::eventFilter(QObject* watched, QEvent* event) {
  if (watched != lineEdit()) return SEdit::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Return && key != Qt::Key_Enter) break;
      FireKeyEnter();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      // A disabled widget sees no mouse button; its event filter still does.
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || isEnabled()) break;
      setEnabled(true);
      return true;
    default:
      break;
  }
  return SEdit::eventFilter(watched, event);
}

void SEditEx::FireKeyEnter() {
  ui::EventArgs event;
  event.kind = EventKeyEnter::kKind;
  event.sender = this;
  event.senderName = GetName();
  event.senderId = GetID();
  event.text = lineEdit()->text();
  FireEvent(event);
}

}  // namespace keyloom::widgets
