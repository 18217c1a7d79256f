#include "ui/toolkit/UiApp.h"

#include <QApplication>
#include <QPixmap>

#include "ui/toolkit/SButton.h"
#include "ui/toolkit/SCheckBox.h"
#include "ui/toolkit/SComboBox.h"
#include "ui/toolkit/SEdit.h"
#include "ui/toolkit/SSliderBar.h"
#include "ui/toolkit/STabCtrl.h"
#include "ui/toolkit/SCaption.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/SImageWnd.h"
#include "ui/toolkit/SListView.h"
#include "ui/toolkit/SMCListView.h"
#include "ui/toolkit/SText.h"

namespace keyloom::ui {

UiApp::UiApp() {
  classes_.Register<SWindow>();
  classes_.Register<SText>();
  classes_.Register<SButton>();
  classes_.Register<SImageButton>();
  classes_.Register<SCaption>();
  classes_.Register<SImageWnd>();
  classes_.Register<SComboBox>();
  classes_.Register<SSliderBar>();
  classes_.Register<SCheckBox>();
  classes_.Register<SRadioBox>();
  classes_.Register<SEdit>();
  classes_.Register<STabCtrl>();
  classes_.Register<STabPage>();
  classes_.Register<SListView>();
  classes_.Register<SMCListView>();
  QObject::connect(&translator_, &Translator::languageChanged, [this] { BroadcastLanguageChange(); });
}

bool UiApp::Initialize(const QString& resourceFolder, const QString& uiDefinition) {
  if (!resources_.Open(resourceFolder)) return false;
  return definition_.Load(resources_, uiDefinition);
}

QIcon UiApp::Icon(const QString& typeAndName) const {
  QIcon icon;
  QPixmap pixmap;
  if (pixmap.loadFromData(resources_.ReadBytes(typeAndName))) icon.addPixmap(pixmap);
  if (pixmap.loadFromData(resources_.ReadBytes(typeAndName + QLatin1String("@2x")))) icon.addPixmap(pixmap);
  return icon;
}

bool UiApp::CanLoadImage(const QString& typeAndName) const {
  return resources_.CanReadImage(typeAndName, qApp != nullptr ? qApp->devicePixelRatio() : 1.0);
}

QPixmap UiApp::Image(const QString& typeAndName) const {
  return resources_.ReadImage(typeAndName, qApp != nullptr ? qApp->devicePixelRatio() : 1.0);
}

void UiApp::BroadcastLanguageChange() {
  for (QWidget* widget : QApplication::allWidgets()) {
    if (auto* host = qobject_cast<SHostWnd*>(widget)) host->OnLanguageChanged();
    if (auto* window = qobject_cast<SWindow*>(widget); window != nullptr && &window->app() == this)
      window->OnLanguageChanged();
  }
}

}  // namespace keyloom::ui
