// Template 130 as plain data, controls in template order.
#include "ui/CommSetDialogTemplate.h"

#include "ui/CommSetDialogIds.h"

namespace kt::ui {
namespace {

using namespace comm_set_ids;

// Every radio button starts a group of its own; the click handlers check them explicitly.
constexpr uint32_t kRadio = kAutoRadio | kGroup | kTabStop;

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::PushButton, "确    定", {138, 55, 42, 14}, kDefaultButton | kTabStop},
    {IDCANCEL, ControlKind::PushButton, "退    出", {137, 82, 43, 14}, kTabStop},
    {kBaud1200Radio, ControlKind::RadioButton, "1200bps", {17, 14, 48, 15}, kRadio},
    {kBaud2400Radio, ControlKind::RadioButton, "2400bps", {17, 31, 48, 15}, kRadio},
    {kBaud4800Radio, ControlKind::RadioButton, "4800bps", {17, 46, 48, 15}, kRadio},
    {kBaud9600Radio, ControlKind::RadioButton, "9600bps", {17, 64, 48, 15}, kRadio},
    {kBaud19200Radio, ControlKind::RadioButton, "19200bps", {17, 81, 48, 15}, kRadio},
    {kNoParityRadio, ControlKind::RadioButton, "无校验", {77, 49, 42, 15}, kRadio},
    {kOddParityRadio, ControlKind::RadioButton, "奇校验", {77, 64, 42, 15}, kRadio},
    {kEvenParityRadio, ControlKind::RadioButton, "偶校验", {77, 78, 42, 15}, kRadio},
    {IDC_STATIC, ControlKind::GroupBox, "波特率", {13, 7, 54, 90}, kNoStyle},
    {IDC_STATIC, ControlKind::GroupBox, "校验位", {71, 41, 56, 55}, kNoStyle},
    {kPortEdit, ControlKind::Edit, "", {95, 17, 28, 14}, kBorder | kAutoHScroll | kTabStop},
    {IDC_STATIC, ControlKind::Label, "COM：", {74, 21, 20, 8}, kNoStyle},
    {IDC_STATIC, ControlKind::GroupBox, "串口选择", {71, 7, 56, 29}, kNoStyle},
    // Below the settings: the ports the machine has, so the user sees which number is which.
    {IDC_STATIC, ControlKind::Label, "可用串口", {13, 102, 60, 8}, kNoStyle},
    {kPortList, ControlKind::ListBox, "", {13, 112, 167, 52}, kBorder | kVScroll | kTabStop},
    // Above the port list's right end, in the room between "退    出" and the list.
    {kFindMeterButton, ControlKind::PushButton, "自动查找…", {125, 98, 55, 13}, kTabStop},
};

}  // namespace

const DialogTemplate& CommSetDialogTemplate() {
  // Caption and modal frame but no system menu: no close box. Grown below the settings to hold
  // the port list.
  static const DialogTemplate t{comm_set_ids::kTemplateId, "通讯设置", 187, 171, "宋体", 10,
                                kCaption | kModalFrame,    kControls};
  return t;
}

}  // namespace kt::ui
