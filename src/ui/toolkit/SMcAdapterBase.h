#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

namespace keyloom::ui {

// The model behind a multi-column list view ("mclistview"): a subclass
// answers the number of rows and columns and each cell's text, says which
// columns can be edited in place and takes or refuses an edited text. The
// column captions belong to the list's layout; the view hands them in
// through setHeaderData.
class SMcAdapterBase : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit SMcAdapterBase(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  virtual int getCount() const = 0;
  virtual int getColumnCount() const = 0;
  virtual QString getCellText(int row, int column) const = 0;
  // Whether the cells of `column` can be edited in place; none by default.
  virtual bool isColumnEditable(int column) const;
  // An edited text for a cell; true when taken. A refused text leaves the
  // cell showing what it showed before. Refuses everything by default.
  virtual bool setCellText(int row, int column, const QString& text);

  // The list changed as a whole (rows added or removed).
  void notifyDataSetChanged();
  // Only `row` changed: every cell of it is redrawn. Rows out of range are ignored.
  void notifyItemDataChanged(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;

 private:
  QStringList captions_;
};

}  // namespace keyloom::ui
