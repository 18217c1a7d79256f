#pragma once

#include <QString>
#include <vector>

#include "config/SaveFailureLog.h"

namespace keyloom {

namespace ui {
class Translator;
}

// The main window's notice for data files that could not be saved, e.g.
// "Could not save macro.xml, record.xml: the disk is full. Changes are kept
// only until keyloom closes." Files are named without their folder, in the
// order they failed; the reason is the latest failure's. Sentence and
// reasons pass through the translation. No failures: empty.
QString SaveNoticeText(const std::vector<SaveFailure>& failures, const ui::Translator& translator);

}  // namespace keyloom
