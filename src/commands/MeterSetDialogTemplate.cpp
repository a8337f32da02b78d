// Template 131 as plain data, controls in template order.
#include "commands/MeterSetDialogTemplate.h"

#include "commands/MeterSetDialogIds.h"

namespace kt::ui {
namespace {

using namespace meter_set_ids;

// The wiring radios carry neither group nor tab stop; their click handlers select them.
constexpr uint32_t kEditStyle = kBorder | kAutoHScroll | kTabStop;

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::PushButton, "设置", {140, 30, 30, 14}, kDefaultButton | kTabStop},
    {IDCANCEL, ControlKind::PushButton, "退出", {140, 65, 30, 14}, kTabStop},
    {IDC_STATIC, ControlKind::Label, "ＰＴ", {10, 8, 20, 10}, kNoStyle},
    {kPtEdit, ControlKind::Edit, "", {45, 5, 80, 12}, kEditStyle},
    {IDC_STATIC, ControlKind::Label, "ＣＴ", {10, 22, 20, 10}, kNoStyle},
    {kCtEdit, ControlKind::Edit, "", {45, 20, 80, 12}, kEditStyle},
    {kThreePhaseFourWireUnbalancedRadio,
     ControlKind::RadioButton,
     "3相4线(非平衡)",
     {5, 44, 65, 10},
     kAutoRadio},
    {kSinglePhaseTwoWireRadio, ControlKind::RadioButton, "单相2线", {5, 62, 65, 10}, kAutoRadio},
    {kThreePhaseThreeWireUnbalancedRadio,
     ControlKind::RadioButton,
     "3相3线(非平衡)",
     {5, 80, 65, 10},
     kAutoRadio},
    {kThreePhaseThreeWireBalancedRadio,
     ControlKind::RadioButton,
     "3相3线(平衡)",
     {76, 45, 55, 10},
     kAutoRadio},
    {kSinglePhaseThreeWireRadio, ControlKind::RadioButton, "单相3线", {76, 63, 55, 10}, kAutoRadio},
    {kThreePhaseFourWireBalancedRadio,
     ControlKind::RadioButton,
     "3相4线(平衡)",
     {76, 81, 55, 10},
     kAutoRadio},
};

}  // namespace

const DialogTemplate& MeterSetDialogTemplate() {
  static const DialogTemplate t{meter_set_ids::kTemplateId,        "Dialog", 184, 98, "System", 10,
                                kCaption | kSysMenu | kModalFrame, kControls};
  return t;
}

}  // namespace kt::ui
