// Template 102 as plain data: every control of the main dialog, top to bottom.
#include "ui/MainDialogTemplate.h"

#include "ui/MainDialogIds.h"
#include "ui/MainDialogLabels.h"

namespace kt::ui {
namespace {

using namespace main_ids;
using namespace main_labels;

constexpr uint32_t kDataBox = kReadOnly | kStaticEdge | kAutoHScroll;
constexpr uint32_t kEchoBox = kReadOnly | kMultiLine | kVScroll | kStaticEdge;
constexpr uint32_t kEntryBox = kBorder | kAutoHScroll | kTabStop;
constexpr uint32_t kButton = kTabStop;
constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kEdit = ControlKind::Edit;
constexpr ControlKind kPush = ControlKind::PushButton;

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, kLabel, "子机地址", {15, 11, 31, 8}, kNoStyle},
    {kSlaveAddressEdit, kEdit, "", {56, 9, 37, 14}, kEntryBox},
    {IDC_STATIC, ControlKind::GroupBox, "基本数据", {7, 25, 292, 161}, kNoStyle},
    {kInformationBox, kEdit, "", {313, 30, 56, 46}, kReadOnly | kMultiLine | kStaticEdge},
    {kSerialControl, ControlKind::SerialControl, "", {7, 32, 22, 23}, kNoStyle},
    // Column headings and row labels of the data grid.
    {IDC_STATIC, kLabel, kTotalColumn, {56, 46, 36, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kColumnA, {109, 46, 36, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kColumnB, {174, 46, 36, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kColumnC, {229, 46, 36, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kPhaseVoltage, {13, 59, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kLineVoltage, {13, 75, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kCurrent, {13, 91, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kActivePower, {13, 107, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kReactivePower, {13, 123, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kApparentPower, {13, 139, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kPowerFactor, {13, 155, 33, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kFrequency, {14, 171, 33, 8}, kNoStyle},
    // The data grid: columns total, A/CA, B/AB, C/BC.
    {kPhaseVoltageTotalBox, kEdit, "", {52, 58, 53, 12}, kDataBox},
    {kPhaseVoltageABox, kEdit, "", {110, 58, 53, 12}, kDataBox},
    {kPhaseVoltageBBox, kEdit, "", {168, 58, 53, 12}, kDataBox},
    {kPhaseVoltageCBox, kEdit, "", {226, 58, 53, 12}, kDataBox},
    {kLineVoltageMeanBox, kEdit, "", {52, 74, 53, 12}, kDataBox},
    {kLineVoltageCABox, kEdit, "", {110, 74, 53, 12}, kDataBox},
    {kLineVoltageABBox, kEdit, "", {168, 74, 53, 12}, kDataBox},
    {kLineVoltageBCBox, kEdit, "", {226, 74, 53, 12}, kDataBox},
    {kCurrentTotalBox, kEdit, "", {52, 90, 53, 12}, kDataBox},
    {kCurrentABox, kEdit, "", {110, 90, 53, 12}, kDataBox},
    {kCurrentBBox, kEdit, "", {168, 90, 53, 12}, kDataBox},
    {kCurrentCBox, kEdit, "", {226, 90, 53, 12}, kDataBox},
    {kActivePowerTotalBox, kEdit, "", {52, 106, 53, 12}, kDataBox},
    {kActivePowerABox, kEdit, "", {110, 106, 53, 12}, kDataBox},
    {kActivePowerBBox, kEdit, "", {168, 106, 53, 12}, kDataBox},
    {kActivePowerCBox, kEdit, "", {226, 106, 53, 12}, kDataBox},
    {kReactivePowerTotalBox, kEdit, "", {52, 122, 53, 12}, kDataBox},
    {kReactivePowerABox, kEdit, "", {110, 122, 53, 12}, kDataBox},
    {kReactivePowerBBox, kEdit, "", {168, 122, 53, 12}, kDataBox},
    {kReactivePowerCBox, kEdit, "", {226, 122, 53, 12}, kDataBox},
    {kApparentPowerTotalBox, kEdit, "", {52, 138, 53, 12}, kDataBox},
    {kApparentPowerABox, kEdit, "", {110, 138, 53, 12}, kDataBox},
    {kApparentPowerBBox, kEdit, "", {168, 138, 53, 12}, kDataBox},
    {kApparentPowerCBox, kEdit, "", {226, 138, 53, 12}, kDataBox},
    {kPowerFactorTotalBox, kEdit, "", {52, 154, 53, 12}, kDataBox},
    {kPowerFactorABox, kEdit, "", {110, 154, 53, 12}, kDataBox},
    {kPowerFactorBBox, kEdit, "", {168, 154, 53, 12}, kDataBox},
    {kPowerFactorCBox, kEdit, "", {226, 154, 53, 12}, kDataBox},
    {kFrequencyBox, kEdit, "", {52, 170, 53, 12}, kDataBox},
    {IDC_STATIC, kLabel, kZeroSequenceCurrent, {128, 171, 33, 8}, kNoStyle},
    {kZeroSequenceCurrentBox, kEdit, "", {168, 170, 53, 12}, kDataBox},
    {kPollAddressButton, kPush, "轮询地址", {313, 85, 55, 15}, kButton},
    {kRunButton, kPush, "运行", {313, 111, 55, 15}, kButton},
    {kChangeSlaveAddressButton, kPush, "更改子机地址", {313, 137, 55, 15}, kButton},
    {kCommSettingsButton, kPush, "通讯设置", {313, 166, 55, 15}, kButton},
    {IDC_STATIC, ControlKind::GroupBox, "电能数据", {7, 185, 292, 40}, kNoStyle},
    {kMeterSettingsButton, kPush, "仪表设置", {313, 194, 55, 15}, kButton},
    {IDC_STATIC, kLabel, kForwardActiveEnergy, {13, 197, 65, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kReverseActiveEnergy, {83, 197, 66, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kForwardReactiveEnergy, {153, 197, 65, 8}, kNoStyle},
    {IDC_STATIC, kLabel, kReverseReactiveEnergy, {223, 197, 62, 8}, kNoStyle},
    {kForwardActiveEnergyBox, kEdit, "", {13, 208, 65, 12}, kDataBox},
    {kReverseActiveEnergyBox, kEdit, "", {83, 208, 66, 12}, kDataBox},
    {kForwardReactiveEnergyBox, kEdit, "", {153, 208, 65, 12}, kDataBox},
    {kReverseReactiveEnergyBox, kEdit, "", {223, 208, 62, 12}, kDataBox},
    {IDCANCEL, kPush, "退  出", {313, 223, 55, 15}, kButton},
    {IDC_STATIC, kLabel, "接收帧:", {213, 231, 31, 9}, kNoStyle},
    {IDC_STATIC, kLabel, "发送帧:", {45, 232, 27, 8}, kNoStyle},
    {kRefreshUrgButton, kPush, "刷新Urg值", {313, 241, 55, 15}, kButton | kHidden | kDisabled},
    {kSendEcho, kEdit, "", {14, 242, 137, 63}, kEchoBox},
    {kReceiveEcho, kEdit, "", {160, 242, 140, 65}, kEchoBox},
    {kAccuracyClassButton, kPush, "修改精度", {313, 254, 55, 15}, kButton | kHidden | kDisabled},
    // The limit status: read-only boxes with their alarm colour, in a band of their own below
    // the echo boxes.
    {IDC_STATIC, ControlKind::GroupBox, "越限状态", {7, 312, 362, 48}, kNoStyle},
    {IDC_STATIC, kLabel, kStatusItems[0], {13, 326, 28, 8}, kNoStyle},
    {kVoltageStatus1Box, kEdit, "", {43, 324, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[1], {103, 326, 28, 8}, kNoStyle},
    {kVoltageStatus2Box, kEdit, "", {133, 324, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[2], {193, 326, 28, 8}, kNoStyle},
    {kVoltageStatus3Box, kEdit, "", {223, 324, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[3], {283, 326, 28, 8}, kNoStyle},
    {kVoltageStatus4Box, kEdit, "", {313, 324, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[4], {13, 342, 28, 8}, kNoStyle},
    {kCurrentStatus1Box, kEdit, "", {43, 340, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[5], {103, 342, 28, 8}, kNoStyle},
    {kCurrentStatus2Box, kEdit, "", {133, 340, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[6], {193, 342, 28, 8}, kNoStyle},
    {kCurrentStatus3Box, kEdit, "", {223, 340, 50, 12}, kDataBox},
    {IDC_STATIC, kLabel, kStatusItems[7], {283, 342, 28, 8}, kNoStyle},
    {kCurrentStatus4Box, kEdit, "", {313, 340, 50, 12}, kDataBox},
    // The link status, under the limit status; the right end of its band stays free.
    {IDC_STATIC, ControlKind::GroupBox, "通讯状态", {7, 362, 300, 46}, kNoStyle},
    {IDC_STATIC, kLabel, "状态", {13, 376, 20, 8}, kNoStyle},
    {kLinkStateBox, kEdit, "", {35, 374, 80, 12}, kDataBox},
    {IDC_STATIC, kLabel, "设备", {123, 376, 20, 8}, kNoStyle},
    {kLinkDeviceBox, kEdit, "", {145, 374, 150, 12}, kDataBox},
    {IDC_STATIC, kLabel, "计数", {13, 392, 20, 8}, kNoStyle},
    {kLinkCounterBox, kEdit, "", {35, 390, 160, 12}, kDataBox},
    {IDC_STATIC, kLabel, "最后数据", {200, 392, 33, 8}, kNoStyle},
    {kLinkLastDataBox, kEdit, "", {235, 390, 60, 12}, kDataBox},
    {kWorkbenchButton, kPush, "诊断与记录…", {313, 376, 55, 15}, kButton},
    {kRecordingNoteBox, kEdit, "", {313, 393, 55, 12}, kDataBox},
};

}  // namespace

const DialogTemplate& MainDialogTemplate() {
  // 383 x 319 for the layout itself, 48 units taller for the limit status band and 45 more for
  // the link status and the workbench button.
  static const DialogTemplate t{main_ids::kTemplateId,
                                "7340智能电力检测仪---Tenbrook",
                                383,
                                412,
                                "宋体",
                                9,
                                kCaption | kSysMenu | kMinimizeBox | kModalFrame,
                                kControls};
  return t;
}

}  // namespace kt::ui
