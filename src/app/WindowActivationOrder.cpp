#include "app/WindowActivationOrder.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace keyloom {

WindowActivationOrder::WindowActivationOrder(QObject* parent) : QObject(parent) {
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &WindowActivationOrder::OnFocusWindowChanged);
}

void WindowActivationOrder::OnFocusWindowChanged(QWindow* window) {
  // Null when another program's window takes the focus: keyloom's own
  // windows keep their order.
  if (window == nullptr) return;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowHandle() != window) continue;
    activated_.removeIf([widget](const QPointer<QWidget>& w) { return w.isNull() || w == widget; });
    activated_.append(widget);
    return;
  }
}

QList<QWidget*> WindowActivationOrder::BottomToTop(const QList<QWidget*>& windows) const {
  QList<QWidget*> ordered;
  for (QWidget* window : windows) {
    if (std::none_of(activated_.begin(), activated_.end(), [window](const QPointer<QWidget>& w) { return w == window; }))
      ordered.append(window);
  }
  for (const QPointer<QWidget>& window : activated_) {
    if (window && windows.contains(window.data())) ordered.append(window.data());
  }
  return ordered;
}

}  // namespace keyloom
