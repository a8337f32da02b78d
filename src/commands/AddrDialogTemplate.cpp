// Template 146 as plain data, controls in template order.
#include "commands/AddrDialogTemplate.h"

#include "commands/AddrDialogIds.h"

namespace kt::ui {
namespace {

using namespace addr_ids;

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::PushButton, "OK", {27, 57, 50, 14}, kDefaultButton | kTabStop},
    {IDCANCEL, ControlKind::PushButton, "Cancel", {107, 57, 50, 14}, kTabStop},
    {IDC_STATIC, ControlKind::Label, "更改子机地址：", {16, 13, 59, 11}, kNoStyle},
    {kNewAddressEdit, ControlKind::Edit, "", {73, 29, 43, 14}, kBorder | kAutoHScroll | kTabStop},
    // The write goes to every meter on the bus; the user should know before confirming. The
    // note stands in two lines under the buttons; the dialog is taller for it.
    {IDC_STATIC, ControlKind::Label, "以广播方式发送：", {10, 76, 160, 11}, kNoStyle},
    {IDC_STATIC, ControlKind::Label, "总线上所有仪表都会改为此地址。", {10, 88, 160, 11}, kNoStyle},
};

}  // namespace

const DialogTemplate& AddrDialogTemplate() {
  static const DialogTemplate t{addr_ids::kTemplateId,
                                "更改子机地址",
                                180,
                                105,
                                "System",
                                10,
                                kCaption | kSysMenu | kModalFrame,
                                kControls};
  return t;
}

}  // namespace kt::ui
