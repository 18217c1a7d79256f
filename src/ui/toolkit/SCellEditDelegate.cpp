#include "ui/toolkit/SCellEditDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>

namespace keyloom::ui {
namespace {
constexpr const char* kCellProperty = "keyloomCell";
}

SCellEditDelegate::SCellEditDelegate(Sink sink, QObject* parent) : QStyledItemDelegate(parent), sink_(std::move(sink)) {}

QWidget* SCellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  // The row may move while the editor is open; a persistent index follows it.
  const QPersistentModelIndex cell(index);
  editor->setProperty(kCellProperty, QVariant::fromValue(cell));
  // textEdited, not textChanged: filling the editor from the model is no keystroke.
  connect(editor, &QLineEdit::textEdited, this, [this, cell](const QString& text) {
    if (cell.isValid()) sink_(EventKind::TextChange, cell, text);
  });
  return editor;
}

bool SCellEditDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QLineEdit*>(object);
  if (editor != nullptr && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      const auto cell = editor->property(kCellProperty).value<QPersistentModelIndex>();
      if (cell.isValid()) sink_(EventKind::KeyEnter, cell, editor->text());
      // Commit at once rather than through the base filter's queued call:
      // the adapter holds the text by the time the key press returns.
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace keyloom::ui
