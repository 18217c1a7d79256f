#pragma once

#include <QAbstractItemView>
#include <QMetaObject>
#include <QPoint>
#include <QPointer>
#include <vector>

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

class SCellEditDelegate;

// What the two list views share: a wrapped Qt item view filling the widget,
// fed by an adapter (a model the list does not own), dressed in the window's
// colours, with single whole-row selection and in-place editors.
//
// Notifications, sent from the list widget:
//   ListSelChange  the user changed the selection: index (and value) = the row, -1 for none
//   ListItemClick  a row was clicked: index, column, point (in the rows' area);
//                  flags 1 for a double click
//   TextChange     a keystroke in an editor: senderName = the column's cell
//                  name, senderId = its id, index, column, text so far
//   KeyEnter       Enter in an editor, the same way; the text is then committed
// The program's own changes (SetSel, a refreshed adapter) send nothing.
class SListViewBase : public SWindow {
  Q_OBJECT
 public:
  // Takes `view` as its child.
  SListViewBase(UiApp& app, QWidget* parent, QAbstractItemView* view);

  // The selected row, -1 when none.
  int GetSel() const;
  // Selects `row` (none for a row out of range) without a notification.
  void SetSel(int row);
  // Opens the editor on a cell; false when the cell does not exist or
  // cannot be edited.
  bool BeginEdit(int row, int column = 0);

  // The name the cells of `column` have in notifications; empty when unnamed.
  virtual QString CellName(int column) const = 0;

  // Rows come from the adapter: child elements of the list's layout element
  // are not widgets. A list with XML of its own reads it in its override.
  void CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) override;
  void LayoutChildren() override;

 protected:
  // Shows `model` (null: nothing). Called by the typed SetAdapter of each list.
  void AttachModel(QAbstractItemModel* model);
  QAbstractItemModel* model() const { return model_; }
  QAbstractItemView* itemView() const { return view_; }
  // Fires a notification from this list with the list's name and id.
  void Fire(EventArgs& event);
  // The colour table entry `name`, or `fallback` when the table has none.
  QString Colour(const char* name, const char* fallback) const;

 private:
  void OnSelectionChanged();
  void OnClicked(const QModelIndex& index, bool doubleClick);
  void OnEditorEvent(EventKind kind, const QModelIndex& index, const QString& text);
  void ApplyStyle();
  bool eventFilter(QObject* object, QEvent* event) override;

  QAbstractItemView* view_;
  SCellEditDelegate* delegate_;
  QPointer<QAbstractItemModel> model_;
  std::vector<QMetaObject::Connection> modelConnections_;
  QPoint lastMousePos_;
  int selBeforeReset_ = -1;
  bool programmatic_ = false;
};

}  // namespace keyloom::ui
