#pragma once

#include "macros/MacroLibrary.h"
#include "ui/macroeditor/IOnMacroGroupClickedListener.h"
#include "ui/toolkit/SAdapterBase.h"

namespace keyloom {

// The macro editor's group list: one row per group of the library, its name
// edited in place.
class MacroGroupAdapter : public ui::SAdapterBase {
  Q_OBJECT
 public:
  explicit MacroGroupAdapter(MacroLibrary& library, QObject* parent = nullptr);

  void SetClickListener(IOnMacroGroupClickedListener* listener) { listener_ = listener; }
  // A row was clicked: remembered, and the listener told when a group is there.
  void OnRowClicked(int row);
  int LastClicked() const { return lastClicked_; }

  // The library's group operations; each refreshes the list.
  void Add();
  bool Delete(int row);
  bool Rename(int row, const QString& name);

  int getCount() const override;
  // Row r shows group r's name (a negative row: the selected group's).
  QString getItemText(int row) const override;
  bool isItemEditable(int row) const override;
  // The name was already taken keystroke by keystroke (Rename); the commit
  // takes the final text the same way.
  bool setItemText(int row, const QString& text) override;

 private:
  MacroLibrary& library_;
  IOnMacroGroupClickedListener* listener_ = nullptr;
  int lastClicked_ = -1;
};

}  // namespace keyloom
