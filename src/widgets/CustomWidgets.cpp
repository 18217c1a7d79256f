#include "widgets/CustomWidgets.h"

#include "ui/toolkit/ClassRegistry.h"
#include "widgets/CoordButtonImage.h"
#include "widgets/SAnimImg.h"
#include "widgets/SShellNotifyIcon.h"

namespace keyloom::widgets {

void RegisterCustomWidgets(ui::ClassRegistry& registry) {
  registry.Register<SShellNotifyIcon>();
  registry.Register<CoordButtonImage>();
  registry.Register<SAnimImg>();
}

}  // namespace keyloom::widgets
