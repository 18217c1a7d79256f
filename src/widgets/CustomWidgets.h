#pragma once

namespace keyloom::ui {
class ClassRegistry;
}

namespace keyloom::widgets {

// Registers the custom widget classes before any layout loads, in this
// order: shellnotifyicon, cbimg, page2, tabctrl2, anmimg, editex, radioex,
// checkex. Each joins the list when its class exists.
void RegisterCustomWidgets(ui::ClassRegistry& registry);

}  // namespace keyloom::widgets
