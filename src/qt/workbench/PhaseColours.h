// The colours of phases A, B and C (yellow, green, red, as on Chinese switchboards) and of
// verdicts.
#pragma once

#include <QColor>

#include "workbench/WiringCheck.h"

namespace kt::ui::qt {

// Phase 0, 1 or 2. The yellow is darkened enough to read on a white background.
QColor PhaseColour(int phase);

// 正常 green, 注意 orange, 异常 red.
QColor VerdictColour(workbench::Verdict verdict);

}  // namespace kt::ui::qt
