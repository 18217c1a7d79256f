#include "ui/macroeditor/MacroGroupAdapter.h"

namespace keyloom {

MacroGroupAdapter::MacroGroupAdapter(MacroLibrary& library, QObject* parent) : SAdapterBase(parent), library_(library) {}

void MacroGroupAdapter::OnRowClicked(int row) {
  lastClicked_ = row;
  const MacroGroup* group = row >= 0 ? library_.GetGroup(row) : nullptr;
  if (group != nullptr && listener_ != nullptr) listener_->OnMacroGroupClicked(row, group->name);
}

void MacroGroupAdapter::Add() {
  library_.AddGroup();
  notifyDataSetChanged();
}

bool MacroGroupAdapter::Delete(int row) {
  const bool deleted = row >= 0 && library_.DeleteGroup(row);
  notifyDataSetChanged();
  return deleted;
}

bool MacroGroupAdapter::Rename(int row, const QString& name) {
  const bool renamed = row >= 0 && library_.RenameGroup(row, name.toStdWString());
  if (renamed) notifyItemDataChanged(row);
  return renamed;
}

int MacroGroupAdapter::getCount() const { return library_.GroupCount(); }

QString MacroGroupAdapter::getItemText(int row) const {
  const MacroGroup* group = library_.GetGroup(row);
  return group != nullptr ? QString::fromStdWString(group->name) : QString();
}

bool MacroGroupAdapter::isItemEditable(int) const { return true; }

bool MacroGroupAdapter::setItemText(int row, const QString& text) {
  Rename(row, text);
  return true;
}

}  // namespace keyloom
