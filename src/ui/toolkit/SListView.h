#pragma once

#include <QListView>
#include <QPointer>

#include "ui/toolkit/SAdapterBase.h"
#include "ui/toolkit/SListViewBase.h"

namespace keyloom::ui {

// A one-column list ("listview") whose rows come from an SAdapterBase.
//   <listview name="macro_group" pos="..." size="..." cell="group_name"/>
// `cell` names the rows' cells in the notifications of their editor.
class SListView : public SListViewBase {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "listview")
 public:
  SListView(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;

  // Shows `adapter`'s rows (null: none). The list does not own it.
  void SetAdapter(SAdapterBase* adapter);
  SAdapterBase* GetAdapter() const { return adapter_; }

  QString CellName(int column) const override;
  QListView* view() const { return list_; }

 private:
  QListView* list_;
  QPointer<SAdapterBase> adapter_;
  QString cell_;
};

}  // namespace keyloom::ui
