#pragma once

#include <QString>
#include <cstdint>

namespace keyloom {

namespace ui {
class Translator;
}

// The firmware line of the main window for `version` (major × 256 + minor):
// "Firmware: v1.2", or for version 0 "Firmware: Early version". "Firmware",
// ": " and "Early version" pass through the translation; ": v" and "." do
// not. Version -1 (none known) has no text: empty.
QString FirmwareText(int32_t version, const ui::Translator& translator);

}  // namespace keyloom
