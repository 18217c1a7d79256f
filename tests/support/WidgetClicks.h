#pragma once

#include <QWidget>

namespace keyloom::test {

// Clicks the widget named `name` under `root` as the user would: a check or
// radio box with the mouse on its box, a button through its own click.
// False (nothing clicked) when there is no such widget.
bool ClickByName(QWidget* root, const char* name);

}  // namespace keyloom::test
