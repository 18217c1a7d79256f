#include "widgets/CustomWidgets.h"

#include "ui/toolkit/ClassRegistry.h"
#include "widgets/CoordButtonImage.h"
#include "widgets/SAnimImg.h"
#include "widgets/SCheckBoxEx.h"
#include "widgets/SEditEx.h"
#include "widgets/SRadioBoxEx.h"
#include "widgets/SShellNotifyIcon.h"
#include "widgets/STabCtrl2.h"
#include "widgets/STabPage2.h"

namespace keyloom::widgets {

void RegisterCustomWidgets(ui::ClassRegistry& registry) {
  registry.Register<SShellNotifyIcon>();
  registry.Register<CoordButtonImage>();
  registry.Register<STabPage2>();
  registry.Register<STabCtrl2>();
  registry.Register<SAnimImg>();
  registry.Register<SEditEx>();
  registry.Register<SRadioBoxEx>();
  registry.Register<SCheckBoxEx>();
}

}  // namespace keyloom::widgets
