// Template 146: the slave address dialog.
#pragma once

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui {

const DialogTemplate& AddrDialogTemplate();

}  // namespace kt::ui
