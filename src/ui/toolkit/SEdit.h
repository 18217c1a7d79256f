#pragma once

#include "ui/toolkit/SWrappedControl.h"

class QLineEdit;

namespace keyloom::ui {

// A one-line edit ("edit") wrapping QLineEdit, so input methods (Chinese
// input among them), the clipboard and keyboard navigation work as anywhere.
//   <edit name="..." text="10" maxLength="5" number="1" readOnly="0" cueText="ms"/>
// Every change the user makes raises TextChange with the whole text, on
// each keystroke; Enter raises KeyEnter. Text set by the program raises
// nothing.
class SEdit : public SWrappedControl {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWrappedControl, "edit")
 public:
  SEdit(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void SetWindowText(const QString& text) override;
  void OnLanguageChanged() override;

  QLineEdit* lineEdit() const { return edit_; }

 private:
  void FireText(EventKind kind);

  QLineEdit* edit_;
  QString cueText_;
};

}  // namespace keyloom::ui
