#pragma once

#include <QAbstractButton>

#include "ui/toolkit/SWrappedControl.h"

namespace keyloom::ui {

// A check box ("check") wrapping QCheckBox. A click by the user toggles it
// and raises Command (value = the new check state, 0 or 1); SetCheck by the
// program raises nothing.
class SCheckBox : public SWrappedControl {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWrappedControl, "check")
 public:
  SCheckBox(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void SetWindowText(const QString& text) override;
  void OnLanguageChanged() override;

  bool IsChecked() const;
  virtual void SetCheck(bool checked);

  QAbstractButton* button() const { return button_; }

 protected:
  // For the radio box: takes its own Qt button.
  SCheckBox(UiApp& app, QWidget* parent, QAbstractButton* button);
  virtual void OnClicked();

 private:
  QAbstractButton* button_;
};

// A radio box ("radio") wrapping QRadioButton. Radio boxes with the same
// parent and the same `group` attribute (empty by default) form a group:
// checking one, by a click or by SetCheck, unchecks the others. A click
// raises Command also on a box that was already checked.
class SRadioBox : public SCheckBox {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SCheckBox, "radio")
 public:
  SRadioBox(UiApp& app, QWidget* parent);

  bool SetAttribute(const QString& name, const QString& value) override;
  void SetCheck(bool checked) override;
  const QString& group() const { return group_; }

 protected:
  // For a radio box that dresses its own Qt radio button.
  SRadioBox(UiApp& app, QWidget* parent, QAbstractButton* radio);
  void OnClicked() override;

 private:
  void UncheckOthersInGroup();

  QString group_;
};

}  // namespace keyloom::ui
