#include "ui/toolkit/SListView.h"

namespace keyloom::ui {

SListView::SListView(UiApp& app, QWidget* parent) : SListViewBase(app, parent, new QListView), list_(nullptr) {
  list_ = static_cast<QListView*>(itemView());
  list_->setUniformItemSizes(true);
}

bool SListView::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("cell")) {
    cell_ = value;
    return true;
  }
  return SListViewBase::SetAttribute(name, value);
}

void SListView::SetAdapter(SAdapterBase* adapter) {
  adapter_ = adapter;
  AttachModel(adapter);
}

QString SListView::CellName(int /*column*/) const { return cell_; }

}  // namespace keyloom::ui
