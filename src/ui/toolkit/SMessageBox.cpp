#include "ui/toolkit/SMessageBox.h"

#include <QKeyEvent>

#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SImageWnd.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {
namespace {

struct ButtonSet {
  const char* texts[3];
  int answers[3];
};

ButtonSet ButtonsOf(unsigned type) {
  switch (type & mb::kTypeMask) {
    case mb::kOkCancel: return {{"OK", "Cancel", nullptr}, {mb::kIdOk, mb::kIdCancel, 0}};
    case mb::kYesNoCancel: return {{"Yes", "No", "Cancel"}, {mb::kIdYes, mb::kIdNo, mb::kIdCancel}};
    case mb::kYesNo: return {{"Yes", "No", nullptr}, {mb::kIdYes, mb::kIdNo, 0}};
    default: return {{"OK", nullptr, nullptr}, {mb::kIdOk, 0, 0}};
  }
}

int IconState(unsigned type) {
  switch (type & mb::kIconMask) {
    case mb::kIconQuestion: return 1;
    case mb::kIconWarning: return 2;
    case mb::kIconError: return 3;
    default: return 0;
  }
}

const char* const kButtonNames[3] = {"button1st", "button2nd", "button3rd"};

}  // namespace

SMessageBoxDlg::SMessageBoxDlg(UiApp& app, QWidget* owner, const QString& text, const QString& caption, unsigned type)
    : SHostDialog(app, owner), text_(text), caption_(caption), type_(type) {}

int SMessageBoxDlg::OnInitDialog() {
  const Translator& translator = app().translator();
  setWindowTitle(translator.Translate(caption_));
  if (auto* title = FindChildByName2<SWindow>("msgtitle")) title->SetWindowText(caption_);
  if (auto* text = FindChildByName2<SWindow>("msgtext")) text->SetWindowText(text_);
  if (auto* icon = FindChildByName2<SImageWnd>("msgicon")) icon->SetAttribute("state", QString::number(IconState(type_)));

  // The used buttons keep their order and move to the right end of their row.
  const ButtonSet set = ButtonsOf(type_);
  std::vector<SButton*> shown;
  for (int i = 0; i < 3; ++i) {
    auto* button = FindChildByName2<SButton>(kButtonNames[i]);
    answers_[i] = set.answers[i];
    if (button == nullptr) continue;
    button->setVisible(set.texts[i] != nullptr);
    if (set.texts[i] == nullptr) continue;
    button->SetWindowText(QString::fromLatin1(set.texts[i]));
    shown.push_back(button);
  }
  if (!shown.empty() && shown.back()->parentWidget() != nullptr) {
    constexpr int kGap = 10;
    int right = shown.back()->geometry().right() + 1;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
      QRect r = (*it)->geometry();
      r.moveRight(right - 1);
      (*it)->setGeometry(r);
      right = r.left() - kGap;
    }
    shown.front()->setFocus();
  }
  return 0;
}

bool SMessageBoxDlg::OnEvent(EventArgs& event) {
  if (event.kind != EventKind::Command) return false;
  for (int i = 0; i < 3; ++i) {
    if (event.senderName == QLatin1String(kButtonNames[i]) && answers_[i] != 0) {
      EndDialog(answers_[i]);
      return true;
    }
  }
  // The layout's own close button, if it has one.
  if (event.senderName == QLatin1String("btn_close")) {
    EndDialog(CancelAnswer());
    return true;
  }
  return false;
}

void SMessageBoxDlg::OnClose() { EndDialog(CancelAnswer()); }

void SMessageBoxDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    EndDialog(CancelAnswer());
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    EndDialog(answers_[0]);
  } else {
    SHostDialog::keyPressEvent(event);
  }
}

int SMessageBoxDlg::CancelAnswer() const {
  const unsigned kind = type_ & mb::kTypeMask;
  if (kind == mb::kYesNo) return mb::kIdNo;
  if (kind == mb::kOk) return mb::kIdOk;
  return mb::kIdCancel;
}

int SMessageBox(UiApp& app, QWidget* owner, const QString& text, const QString& caption, unsigned type) {
  SMessageBoxDlg dialog(app, owner, text, caption, type);
  if (!dialog.CreateFromLayout(QStringLiteral("LAYOUT:SYS_XML_MSGBOX"))) {
    const unsigned kind = type & mb::kTypeMask;
    return kind == mb::kOk ? mb::kIdOk : kind == mb::kYesNo ? mb::kIdNo : mb::kIdCancel;
  }
  return dialog.DoModal();
}

}  // namespace keyloom::ui
