#pragma once

#include <QAbstractListModel>
#include <QString>

namespace keyloom::ui {

// The model behind a one-column list view ("listview"): a subclass answers
// how many rows there are and each row's text, and, when its rows can be
// edited in place, takes an edited text or refuses it. The subclass tells
// the views what changed: the whole list (rows came or went) or one row.
class SAdapterBase : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit SAdapterBase(QObject* parent = nullptr) : QAbstractListModel(parent) {}

  virtual int getCount() const = 0;
  virtual QString getItemText(int row) const = 0;
  // Whether a row's text can be edited in place; none by default.
  virtual bool isItemEditable(int row) const;
  // An edited text for `row`; true when taken. A refused text leaves the
  // row showing what it showed before. Refuses everything by default.
  virtual bool setItemText(int row, const QString& text);

  // The list changed as a whole (rows added or removed): the views read it
  // anew. A selected row that still exists stays selected.
  void notifyDataSetChanged();
  // Only `row` changed: the views redraw that row. Rows out of range are ignored.
  void notifyItemDataChanged(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
};

}  // namespace keyloom::ui
