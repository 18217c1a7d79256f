#pragma once

#include <QPointer>
#include <QTableView>
#include <vector>

#include "ui/toolkit/SListViewBase.h"
#include "ui/toolkit/SMcAdapterBase.h"

namespace keyloom::ui {

// A multi-column list ("mclistview") whose rows come from an SMcAdapterBase.
// Its columns come from its own XML:
//   <mclistview name="key_info" pos="..." size="...">
//     <header>
//       <item name="col1" text="Key code" width="90" cell="key_code"/>
//       ...
//     </header>
//   </mclistview>
// `name` names the column, `text` is its caption (translated), `width` its
// width in pixels and `cell` the name of its cells in editor notifications.
//
// A click on a column header sends HeaderClick (column = the column's index,
// senderName = its name) and moves the header's sort mark: the clicked
// column goes from none or descending to ascending, from ascending to
// descending; every other column to none. The rows are never reordered:
// the mark is only a mark.
class SMCListView : public SListViewBase {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "mclistview")
 public:
  enum class SortMark { None, Ascending, Descending };

  SMCListView(UiApp& app, QWidget* parent);

  void CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) override;
  void OnLanguageChanged() override;

  // Shows `adapter`'s rows under this list's columns (null: none). The list
  // does not own it; it gives the adapter the columns' captions.
  void SetAdapter(SMcAdapterBase* adapter);
  SMcAdapterBase* GetAdapter() const { return adapter_; }

  int GetColumnCount() const { return static_cast<int>(columns_.size()); }
  // The column's name as written; empty out of range.
  QString GetColumnName(int column) const;
  SortMark GetSortMark(int column) const;
  QString CellName(int column) const override;
  QTableView* view() const { return table_; }

 private:
  struct Column {
    QString name;
    QString caption;  // untranslated
    int width = 0;
    QString cell;
    SortMark mark = SortMark::None;
  };
  // Captions, widths and the sort mark onto the header.
  void ShowColumns();
  void ShowSortMark();
  void OnHeaderClicked(int column);

  QTableView* table_;
  QPointer<SMcAdapterBase> adapter_;
  std::vector<Column> columns_;
};

}  // namespace keyloom::ui
