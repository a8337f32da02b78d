// Template 132: the dialog "自动查找仪表" (the sweep's progress, the meters found, "使用").
#pragma once

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui {

const DialogTemplate& FindMeterDialogTemplate();

}  // namespace kt::ui
