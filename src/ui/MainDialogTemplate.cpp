// Template 102 (place holder until the full control table is written).
#include "ui/MainDialogTemplate.h"

namespace kt::ui {
namespace {

constexpr ControlTemplate kControls[] = {
    {IDCANCEL, ControlKind::PushButton, "退  出", {313, 223, 55, 15}, kTabStop},
};

}  // namespace

const DialogTemplate& MainDialogTemplate() {
  static const DialogTemplate t{102,
                                "7340智能电力检测仪---Tenbrook",
                                383,
                                319,
                                "宋体",
                                9,
                                kCaption | kSysMenu | kMinimizeBox | kModalFrame,
                                kControls};
  return t;
}

}  // namespace kt::ui
