#include "ui/toolkit/SMCListView.h"

#include <QHeaderView>

#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SMCListView::SMCListView(UiApp& app, QWidget* parent) : SListViewBase(app, parent, new QTableView), table_(nullptr) {
  table_ = static_cast<QTableView*>(itemView());
  table_->verticalHeader()->hide();
  table_->setShowGrid(false);
  table_->setSortingEnabled(false);
  table_->setWordWrap(false);
  QHeaderView* header = table_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setStretchLastSection(true);
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) { OnHeaderClicked(column); });
}

void SMCListView::CreateChildren(const pugi::xml_node& element, LayoutLoader& /*loader*/) {
  for (pugi::xml_node header : element.children()) {
    if (header.type() != pugi::node_element || !ClassNameEquals(header.name(), "header")) continue;
    for (pugi::xml_node item : header.children()) {
      if (item.type() != pugi::node_element || !ClassNameEquals(item.name(), "item")) continue;
      Column column;
      // Attribute names, like everywhere in a layout, without regard to case.
      for (pugi::xml_attribute a : item.attributes()) {
        const QString key = QString::fromUtf8(a.name()).toLower();
        const QString value = QString::fromUtf8(a.value());
        if (key == QLatin1String("name")) column.name = value;
        else if (key == QLatin1String("text")) column.caption = app().definition().ResolveString(value);
        else if (key == QLatin1String("width")) column.width = std::max(0, value.toInt());
        else if (key == QLatin1String("cell")) column.cell = value;
        else ToolkitLog("unknown attribute [%s] of a column of [%s]", a.name(), kClassName);
      }
      columns_.push_back(column);
    }
    break;  // the first header counts
  }
  ShowColumns();
}

void SMCListView::OnLanguageChanged() {
  SListViewBase::OnLanguageChanged();
  ShowColumns();
}

void SMCListView::SetAdapter(SMcAdapterBase* adapter) {
  adapter_ = adapter;
  AttachModel(adapter);
  ShowColumns();
}

QString SMCListView::GetColumnName(int column) const {
  return column >= 0 && column < GetColumnCount() ? columns_[column].name : QString();
}

SMCListView::SortMark SMCListView::GetSortMark(int column) const {
  return column >= 0 && column < GetColumnCount() ? columns_[column].mark : SortMark::None;
}

QString SMCListView::CellName(int column) const {
  return column >= 0 && column < GetColumnCount() ? columns_[column].cell : QString();
}

void SMCListView::ShowColumns() {
  QHeaderView* header = table_->horizontalHeader();
  if (adapter_ != nullptr) {
    for (int i = 0; i < GetColumnCount(); ++i) {
      adapter_->setHeaderData(i, Qt::Horizontal, app().translator().Translate(columns_[i].caption), Qt::DisplayRole);
      if (columns_[i].width > 0 && i < header->count()) header->resizeSection(i, columns_[i].width);
    }
  }
  ShowSortMark();
}

void SMCListView::ShowSortMark() {
  // Sorting stays off; the header only shows the mark.
  QHeaderView* header = table_->horizontalHeader();
  header->setSortIndicatorShown(false);
  for (int i = 0; i < GetColumnCount(); ++i) {
    if (columns_[i].mark == SortMark::None) continue;
    header->setSortIndicatorShown(true);
    header->setSortIndicator(i, columns_[i].mark == SortMark::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
}

void SMCListView::OnHeaderClicked(int column) {
  for (int i = 0; i < GetColumnCount(); ++i) {
    Column& c = columns_[i];
    if (i != column) c.mark = SortMark::None;
    else c.mark = c.mark == SortMark::Ascending ? SortMark::Descending : SortMark::Ascending;
  }
  ShowSortMark();
  EventArgs event;
  event.kind = EventKind::HeaderClick;
  event.sender = this;
  event.senderName = GetColumnName(column);
  event.senderId = event.senderName.isEmpty() ? 0 : app().names().IdOf(event.senderName);
  event.column = column;
  event.value = static_cast<int>(GetSortMark(column));
  FireEvent(event);
}

}  // namespace keyloom::ui
