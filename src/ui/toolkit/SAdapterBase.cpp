#include "ui/toolkit/SAdapterBase.h"

#include <algorithm>

namespace keyloom::ui {

bool SAdapterBase::isItemEditable(int /*row*/) const { return false; }

bool SAdapterBase::setItemText(int /*row*/, const QString& /*text*/) { return false; }

void SAdapterBase::notifyDataSetChanged() {
  // The subclass has already changed its data when it calls this, so the
  // reset brackets nothing; views only need to read everything afresh.
  beginResetModel();
  endResetModel();
}

void SAdapterBase::notifyItemDataChanged(int row) {
  if (row < 0 || row >= rowCount()) return;
  const QModelIndex cell = index(row, 0);
  emit dataChanged(cell, cell);
}

int SAdapterBase::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, getCount());
}

QVariant SAdapterBase::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return getItemText(index.row());
}

bool SAdapterBase::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
  const bool taken = setItemText(index.row(), value.toString());
  // Taken or not, the row shows what the adapter now holds.
  emit dataChanged(index, index);
  return taken;
}

Qt::ItemFlags SAdapterBase::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractListModel::flags(index);
  if (index.isValid() && isItemEditable(index.row())) f |= Qt::ItemIsEditable;
  return f;
}

}  // namespace keyloom::ui
