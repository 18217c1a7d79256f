#pragma once

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

// A picture ("img"): draws sub-image `state` of its skin.
class SImageWnd : public SWindow {
  Q_OBJECT
  KEYLOOM_WIDGET_CLASS(SWindow, "img")
 public:
  SImageWnd(UiApp& app, QWidget* parent) : SWindow(app, parent) {}
  bool SetAttribute(const QString& name, const QString& value) override;

 protected:
  int DrawState() const override { return state_; }

 private:
  int state_ = 0;
};

}  // namespace keyloom::ui
