#pragma once

#include "macros/MacroLibrary.h"
#include "ui/toolkit/SMcAdapterBase.h"
#include "ui/toolkit/Translator.h"

namespace keyloom {

// The macro editor's step list: the steps of the shown group, one row each,
// in four columns (code, name, state, delay), the delay edited in place.
// The group is kept by its index and looked up anew on every use, since
// adding or deleting groups moves them.
class KeyAndDelayAdapter : public ui::SMcAdapterBase {
  Q_OBJECT
 public:
  static constexpr int kDelayColumn = 3;

  // The state column's texts pass through `translator` when given.
  explicit KeyAndDelayAdapter(MacroLibrary& library, const ui::Translator* translator = nullptr,
                              QObject* parent = nullptr);

  // Shows the group at `index`; -1 (or any index that is no group): none.
  void SetGroup(int index);
  MacroGroup* Group() const;

  // Step operations on the shown group; each refreshes the list.
  void AddStep(uint32_t code, uint32_t state, uint32_t delay, const std::wstring& name);
  bool MoveUp(int row);
  bool MoveDown(int row);
  bool Delete(int row);
  void Clear();
  // The shown group's last step; null when none.
  MacroStep* LastStep() const;
  // A row's delay as typed: "%d" read; false (nothing stored) when the text
  // is no number.
  bool SetDelayText(int row, const QString& text);

  int getCount() const override;
  int getColumnCount() const override { return 4; }
  QString getCellText(int row, int column) const override;
  bool isColumnEditable(int column) const override { return column == kDelayColumn; }
  // A delay that is no number is refused: the cell shows the stored one again.
  bool setCellText(int row, int column, const QString& text) override;

 private:
  MacroLibrary& library_;
  const ui::Translator* translator_;
  int shown_ = -1;
};

}  // namespace keyloom
