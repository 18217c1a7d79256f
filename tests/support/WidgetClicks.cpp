#include "support/WidgetClicks.h"

#include <QTest>

#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCheckBox.h"

namespace keyloom::test {

bool ClickByName(QWidget* root, const char* name) {
  for (ui::SWindow* w : root->findChildren<ui::SWindow*>()) {
    if (w->GetName() != QLatin1String(name)) continue;
    if (auto* box = dynamic_cast<ui::SCheckBox*>(w)) {
      QTest::mouseClick(box->button(), Qt::LeftButton, {}, QPoint(5, box->button()->height() / 2));
      return true;
    }
    if (auto* button = dynamic_cast<ui::SButton*>(w)) {
      button->Click();
      return true;
    }
  }
  return false;
}

}  // namespace keyloom::test
