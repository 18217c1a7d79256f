#pragma once

#include <QString>

#include "ui/toolkit/SHostDialog.h"

namespace keyloom::ui {

// Message box types, icons and answers, with the values their callers use.
namespace mb {
constexpr unsigned kOk = 0x0;
constexpr unsigned kOkCancel = 0x1;
constexpr unsigned kYesNoCancel = 0x3;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kTypeMask = 0xF;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconWarning = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr unsigned kIconMask = 0xF0;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

// The message box, built from the layout "LAYOUT:SYS_XML_MSGBOX":
// "msgtitle" shows the caption, "msgtext" the text, "msgicon" (a picture)
// the icon (state 0 information, 1 question, 2 warning, 3 error), and the
// buttons "button1st", "button2nd", "button3rd" the answers of the type,
// right-aligned in their row (unused ones hidden). Caption, text and button
// texts pass through the active translation. Escape gives the cancelling
// answer, Enter the first button's.
class SMessageBoxDlg : public SHostDialog {
  Q_OBJECT
 public:
  SMessageBoxDlg(UiApp& app, QWidget* owner, const QString& text, const QString& caption, unsigned type);

 protected:
  int OnInitDialog() override;
  void OnClose() override;
  bool OnEvent(EventArgs& event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int CancelAnswer() const;

  QString text_;
  QString caption_;
  unsigned type_;
  int answers_[3] = {0, 0, 0};
};

// Shows a modal message box and returns the answer (mb::kIdOk, ...). When
// the message box layout cannot be loaded it shows nothing and gives the
// cautious answer: Cancel, or No, or OK for a box with OK alone.
int SMessageBox(UiApp& app, QWidget* owner, const QString& text, const QString& caption, unsigned type);

}  // namespace keyloom::ui
