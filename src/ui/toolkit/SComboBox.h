#pragma once

#include <QStringList>

#include "ui/toolkit/SWrappedControl.h"

class QComboBox;

namespace keyloom::ui {

// A drop-down list ("combobox") wrapping QComboBox. Its items come from the
// layout:
//   <combobox name="..." curSel="0"><items><item text="Wave"/><item>Static</item></items></combobox>
// Item texts pass through the active translation. The selection
// notification (ComboSelChange, value = the new index) is raised whenever
// the selection really changes, by the user or by the program (SetCurSel),
// and never when it stays the same. Without `curSel` nothing is selected (-1).
class SComboBox : public SWrappedControl {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWrappedControl, "combobox")
 public:
  SComboBox(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) override;
  void OnLayoutLoaded() override;
  void OnLanguageChanged() override;

  int GetCount() const;
  int GetCurSel() const;
  // Selects `index` (-1: none); false when out of range.
  bool SetCurSel(int index);
  // Adds an item (text as written; shown translated) at `index` (-1: the end)
  // and returns its index. Adding never changes the selection.
  int InsertItem(int index, const QString& text);
  bool DeleteString(int index);
  void ResetContent();
  // The item's text as written; empty when out of range.
  QString GetLBText(int index) const;

  QComboBox* combo() const { return combo_; }

 private:
  QComboBox* combo_;
  QStringList texts_;  // as written, untranslated
  int initialSel_ = -1;
};

}  // namespace keyloom::ui
