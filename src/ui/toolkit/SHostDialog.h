#pragma once

#include "ui/toolkit/SHostWnd.h"

namespace keyloom::ui {

// A modal host window: DoModal shows it, runs a nested event loop until
// EndDialog and returns the code EndDialog was given.
class SHostDialog : public SHostWnd {
  Q_OBJECT
 public:
  // Result codes a dialog commonly ends with.
  static constexpr int kOk = 1;
  static constexpr int kCancel = 2;

  explicit SHostDialog(UiApp& app, QWidget* owner = nullptr);

  int DoModal();
  void EndDialog(int code);

 protected:
  // Closing a dialog from the window system cancels it.
  void OnClose() override { EndDialog(kCancel); }

 private:
  int result_ = kCancel;
};

}  // namespace keyloom::ui
