#pragma once

#include <QString>

namespace keyloom::ui {

class UiDefinition;

// The style sheet that dresses Qt's own controls (combo boxes, sliders,
// check and radio boxes, edits, tab bars, menus) in the skin's colours. The
// colour table may set: control_bg, control_border, control_text,
// control_hover, accent, accent_text, disabled_text, menu_bg; the dark
// defaults below stand in for any it lacks.
QString ControlStyleSheet(const UiDefinition& definition);

}  // namespace keyloom::ui
