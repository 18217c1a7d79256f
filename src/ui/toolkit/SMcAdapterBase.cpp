#include "ui/toolkit/SMcAdapterBase.h"

#include <algorithm>

namespace keyloom::ui {

bool SMcAdapterBase::isColumnEditable(int /*column*/) const { return false; }

bool SMcAdapterBase::setCellText(int /*row*/, int /*column*/, const QString& /*text*/) { return false; }

void SMcAdapterBase::notifyDataSetChanged() {
  // The data has already changed; the reset only makes the views re-read it.
  beginResetModel();
  endResetModel();
}

void SMcAdapterBase::notifyItemDataChanged(int row) {
  if (row < 0 || row >= rowCount() || columnCount() == 0) return;
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int SMcAdapterBase::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, getCount());
}

int SMcAdapterBase::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, getColumnCount());
}

QVariant SMcAdapterBase::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return getCellText(index.row(), index.column());
}

bool SMcAdapterBase::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
  const bool taken = setCellText(index.row(), index.column(), value.toString());
  emit dataChanged(index, index);
  return taken;
}

Qt::ItemFlags SMcAdapterBase::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && isColumnEditable(index.column())) f |= Qt::ItemIsEditable;
  return f;
}

QVariant SMcAdapterBase::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
  if (role != Qt::DisplayRole) return {};
  return section >= 0 && section < captions_.size() ? captions_[section] : QString();
}

bool SMcAdapterBase::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
  if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole)) return false;
  // A caption far past any column is refused rather than growing the list to it.
  if (section < 0 || section >= 1024) return false;
  while (captions_.size() <= section) captions_.append(QString());
  captions_[section] = value.toString();
  emit headerDataChanged(orientation, section, section);
  return true;
}

}  // namespace keyloom::ui
