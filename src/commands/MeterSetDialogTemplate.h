// Template 131: the meter settings dialog (PT ratio, CT ratio, wiring mode).
#pragma once

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui {

const DialogTemplate& MeterSetDialogTemplate();

}  // namespace kt::ui
