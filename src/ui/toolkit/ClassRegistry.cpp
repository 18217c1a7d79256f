#include "ui/toolkit/ClassRegistry.h"

#include "ui/toolkit/SWindow.h"

namespace keyloom::ui {

void ClassRegistry::Register(const QString& className, Factory factory) {
  factories_.insert(className.toLower(), std::move(factory));
}

SWindow* ClassRegistry::Create(const QString& className, UiApp& app, QWidget* parent) const {
  const auto it = factories_.constFind(className.toLower());
  return it == factories_.constEnd() ? nullptr : (*it)(app, parent);
}

}  // namespace keyloom::ui
