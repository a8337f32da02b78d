// Template 132 as plain data, controls in template order.
#include "ui/FindMeterDialogTemplate.h"

#include "ui/FindMeterDialogIds.h"

namespace kt::ui {
namespace {

using namespace find_meter_ids;

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Label, "正在尝试：", {7, 8, 42, 8}, kNoStyle},
    {kAttemptText, ControlKind::Label, "", {50, 8, 243, 8}, kGrowWide},
    {kProgressBar, ControlKind::ProgressBar, "0", {7, 20, 160, 10}, kGrowWide},
    {kProgressText, ControlKind::Label, "", {172, 21, 121, 8}, kKeepRight},
    {kOnlyCurrentPort, ControlKind::CheckBox, "只查当前端口", {7, 36, 72, 10}, kTabStop},
    {kStopAfterFirst, ControlKind::CheckBox, "找到一台后停止", {84, 36, 80, 10}, kTabStop},
    {kStartButton, ControlKind::PushButton, "开始", {205, 34, 40, 14}, kTabStop | kKeepRight},
    {kStopButton,
     ControlKind::PushButton,
     "停止",
     {253, 34, 40, 14},
     kTabStop | kDisabled | kKeepRight},
    {IDC_STATIC, ControlKind::Label, "找到的仪表", {7, 54, 80, 8}, kNoStyle},
    {kMeterTable,
     ControlKind::Table,
     "端口\t波特率\t校验位\t子机地址\t接线方式\tPT\tCT",
     {7, 64, 286, 90},
     kBorder | kTabStop | kGrowWide | kGrowTall},
    {IDC_STATIC, ControlKind::Label, "无法使用的端口", {7, 158, 80, 8}, kKeepBottom},
    {kFailureList,
     ControlKind::ListBox,
     "",
     {7, 168, 286, 28},
     kBorder | kVScroll | kGrowWide | kKeepBottom},
    {kAddToBusButton,
     ControlKind::PushButton,
     "加入总线",
     {149, 202, 48, 14},
     kTabStop | kKeepRight | kKeepBottom},
    {kUseButton,
     ControlKind::PushButton,
     "使用",
     {205, 202, 40, 14},
     kDefaultButton | kTabStop | kKeepRight | kKeepBottom},
    {IDCANCEL,
     ControlKind::PushButton,
     "关闭",
     {253, 202, 40, 14},
     kTabStop | kKeepRight | kKeepBottom},
};

}  // namespace

const DialogTemplate& FindMeterDialogTemplate() {
  static const DialogTemplate t{find_meter_ids::kTemplateId,
                                "自动查找仪表",
                                300,
                                222,
                                "宋体",
                                10,
                                kCaption | kSysMenu | kModalFrame | kResizable,
                                kControls};
  return t;
}

}  // namespace kt::ui
