#include "ui/toolkit/SCheckBox.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SCheckBox::SCheckBox(UiApp& app, QWidget* parent) : SCheckBox(app, parent, new QCheckBox) {}

SCheckBox::SCheckBox(UiApp& app, QWidget* parent, QAbstractButton* button) : SWrappedControl(app, parent), button_(button) {
  button_->setParent(this);
  Wrap(button_);
  button_->setCursor(Qt::PointingHandCursor);
  // clicked: the user's doing only; setChecked by the program emits nothing here.
  connect(button_, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

bool SCheckBox::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("checked")) {
    SetCheck(value == QLatin1String("1"));
    return true;
  }
  return SWrappedControl::SetAttribute(name, value);
}

void SCheckBox::SetWindowText(const QString& text) {
  SWrappedControl::SetWindowText(text);
  button_->setText(GetDisplayText());
}

void SCheckBox::OnLanguageChanged() {
  button_->setText(GetDisplayText());
  SWrappedControl::OnLanguageChanged();
}

bool SCheckBox::IsChecked() const { return button_->isChecked(); }

void SCheckBox::SetCheck(bool checked) {
  const QSignalBlocker blocker(button_);
  button_->setChecked(checked);
}

void SCheckBox::OnClicked() { FireEvent(EventKind::Command, IsChecked() ? 1 : 0); }

SRadioBox::SRadioBox(UiApp& app, QWidget* parent) : SRadioBox(app, parent, new QRadioButton) {}

SRadioBox::SRadioBox(UiApp& app, QWidget* parent, QAbstractButton* radio) : SCheckBox(app, parent, radio) {
  // Each radio box sits in a widget of its own, so Qt's grouping by parent
  // cannot apply; the group is kept here.
  button()->setAutoExclusive(false);
}

bool SRadioBox::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("group")) {
    group_ = value;
    return true;
  }
  return SCheckBox::SetAttribute(name, value);
}

void SRadioBox::SetCheck(bool checked) {
  SCheckBox::SetCheck(checked);
  if (checked) UncheckOthersInGroup();
}

void SRadioBox::OnClicked() {
  // A radio box is not unchecked by clicking it again.
  SCheckBox::SetCheck(true);
  UncheckOthersInGroup();
  SCheckBox::OnClicked();
}

void SRadioBox::UncheckOthersInGroup() {
  if (parentWidget() == nullptr) return;
  for (QObject* sibling : parentWidget()->children()) {
    auto* radio = qobject_cast<SRadioBox*>(sibling);
    if (radio != nullptr && radio != this && radio->group_ == group_) radio->SCheckBox::SetCheck(false);
  }
}

}  // namespace keyloom::ui
