// Template 130: the communication settings dialog.
#pragma once

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui {

const DialogTemplate& CommSetDialogTemplate();

}  // namespace kt::ui
