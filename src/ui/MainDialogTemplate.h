// Template 102: the main dialog with every control.
#pragma once

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui {

const DialogTemplate& MainDialogTemplate();

}  // namespace kt::ui
