#pragma once

#include <QString>

namespace keyloom::ui {

class ResourceProvider;
class UiDefinition;

// The style sheet that dresses Qt's own controls (combo boxes, sliders,
// check and radio boxes, edits, tab bars, menus) in the skin's colours. The
// colour table may set: control_bg, control_border, control_text, accent,
// accent_text, disabled_text, menu_bg; dark defaults stand in for any it
// lacks. The pictures "img:arrow_down" (a combo box's arrow) and
// "img:check_mark" (a check box's tick) are used when the folder has them
// (Qt takes their NAME@2x.png files on a 200 % display by itself).
QString ControlStyleSheet(const UiDefinition& definition, const ResourceProvider& resources);

}  // namespace keyloom::ui
