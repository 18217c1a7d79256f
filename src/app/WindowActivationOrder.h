#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace keyloom {

// The stacking order of the top-level windows, as near as Qt can tell it.
// Qt offers no stacking order (QApplication::topLevelWidgets() comes in no
// particular order, and the window systems' own stacking queries are not
// portable), but it reports every window that becomes active. Since raising
// a window activates it, the order in which windows were last activated is
// the order the user stacked them in, the most recent on top. Follows them
// from its construction on.
class WindowActivationOrder : public QObject {
  Q_OBJECT
 public:
  explicit WindowActivationOrder(QObject* parent = nullptr);

  // `windows` from the bottom of the stack to its top: windows never
  // activated first, in the order given, then the others from the least to
  // the most recently activated.
  QList<QWidget*> BottomToTop(const QList<QWidget*>& windows) const;

 private:
  void OnFocusWindowChanged(QWindow* window);

  QList<QPointer<QWidget>> activated_;  // least recently activated first
};

}  // namespace keyloom
