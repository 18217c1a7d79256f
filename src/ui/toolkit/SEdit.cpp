#include "ui/toolkit/SEdit.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

SEdit::SEdit(UiApp& app, QWidget* parent) : SWrappedControl(app, parent), edit_(new QLineEdit(this)) {
  Wrap(edit_);
  // textEdited: the user's changes only, each keystroke and each input
  // method commit; the program's setText does not emit it.
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    SWrappedControl::SetWindowText(text);
    FireText(EventKind::TextChange);
  });
  connect(edit_, &QLineEdit::returnPressed, this, [this] { FireText(EventKind::KeyEnter); });
}

bool SEdit::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("maxlength")) {
    edit_->setMaxLength(value.toInt() > 0 ? value.toInt() : 32767);
  } else if (name == QLatin1String("number")) {
    edit_->setValidator(value == QLatin1String("1")
                            ? new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_)
                            : nullptr);
  } else if (name == QLatin1String("readonly")) {
    edit_->setReadOnly(value == QLatin1String("1"));
  } else if (name == QLatin1String("cuetext")) {
    cueText_ = app().definition().ResolveString(value);
    edit_->setPlaceholderText(app().translator().Translate(cueText_));
  } else {
    return SWrappedControl::SetAttribute(name, value);
  }
  return true;
}

void SEdit::SetWindowText(const QString& text) {
  SWrappedControl::SetWindowText(text);
  // An edit shows its text as it is: what the user typed is not translated.
  if (edit_->text() != text) edit_->setText(text);
}

void SEdit::OnLanguageChanged() {
  edit_->setPlaceholderText(app().translator().Translate(cueText_));
  SWrappedControl::OnLanguageChanged();
}

void SEdit::FireText(EventKind kind) {
  EventArgs event;
  event.kind = kind;
  event.sender = this;
  event.senderName = GetName();
  event.senderId = GetID();
  event.text = edit_->text();
  FireEvent(event);
}

}  // namespace keyloom::ui
