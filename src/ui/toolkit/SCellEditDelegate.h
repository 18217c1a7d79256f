#pragma once

#include <QStyledItemDelegate>
#include <functional>

#include "ui/toolkit/EventArgs.h"

namespace keyloom::ui {

// The in-place editor of the list views: a line edit over the cell. It
// reports every keystroke (TextChange) and Enter (KeyEnter, then the text is
// committed) to the list that owns it; committing goes to the model's
// setData, that is, to the adapter, which may refuse the text.
class SCellEditDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  // Receives the kind (TextChange or KeyEnter), the cell and the text so far.
  using Sink = std::function<void(EventKind, const QModelIndex&, const QString&)>;

  SCellEditDelegate(Sink sink, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  Sink sink_;
};

}  // namespace keyloom::ui
