// The colours and texts the workbench's tabs share between front ends: one table each, read by
// the Qt widgets and the Win32 windows alike.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>

#include "workbench/TrafficLogColours.h"
#include "workbench/WiringCheck.h"

namespace kt::workbench {

// The window and its tabs, in the order they are shown.
inline constexpr const char* kWorkbenchTitle = "诊断与记录";
inline constexpr std::array<const char*, 4> kWorkbenchTabTitles = {"报文", "记录", "趋势",
                                                                   "接线检查"};

// Phases A, B and C: yellow, green and red, as on Chinese switchboards; the yellow darkened
// enough to read on a white background.
inline constexpr std::array<Rgb, 3> kPhaseColours = {{
    {0xD4, 0xA0, 0x00},
    {0x1E, 0x9E, 0x2E},
    {0xD0, 0x20, 0x20},
}};

constexpr Rgb PhaseColour(int phase) {
  return kPhaseColours[static_cast<std::size_t>(phase) % kPhaseColours.size()];
}

// 正常 green, 注意 orange, 异常 red.
constexpr Rgb VerdictColour(Verdict verdict) {
  switch (verdict) {
    case Verdict::Normal:
      return {0x1E, 0x9E, 0x2E};
    case Verdict::Note:
      return {0xE0, 0x7B, 0x00};
    case Verdict::Fault:
      return {0xD0, 0x20, 0x20};
  }
  return {0, 0, 0};
}

// The wiring check's table: its columns.
inline constexpr std::array<const char*, 3> kWiringColumns = {"检查项", "结论", "说明"};

// A choice above the table that the check judges against: its label and its options, the first
// the default. Both front ends draw these and remember the value chosen.
struct WiringChoiceOption {
  const char* text;
  double value;
};
struct WiringChoice {
  const char* label;
  std::array<WiringChoiceOption, 2> options;

  // The option holding `value`; the default for any other value.
  constexpr std::size_t IndexOf(double value) const {
    for (std::size_t i = 0; i < options.size(); ++i)
      if (options[i].value == value) return i;
    return 0;
  }
  // The value of option `index`; the default's for an index out of range.
  constexpr double ValueAt(long long index) const {
    return index >= 0 && static_cast<std::size_t>(index) < options.size()
               ? options[static_cast<std::size_t>(index)].value
               : options[0].value;
  }
};
inline constexpr WiringChoice kNominalFrequencyChoice = {"电网额定频率",
                                                         {{{"50 Hz", 50.0}, {"60 Hz", 60.0}}}};
// The CTs' rated secondary current: "loaded" and the overload row are shares of it.
inline constexpr WiringChoice kCtSecondaryChoice = {"互感器二次额定电流",
                                                    {{{"5 A", 5.0}, {"1 A", 1.0}}}};

// The wiring tab's report of the main dialog's meter: the button, and the small dialog asking
// the report's title fields (as the report's title block names them).
inline constexpr const char* kMakeReportText = "生成报告…";
inline constexpr const char* kReportTitleDialogTitle = "报告抬头";
inline constexpr std::array<const char*, 3> kReportTitleLabels = {"现场：", "配电柜：", "检查人："};

// The phasor diagram: its labels, how far currents reach, and the lines under it.
inline constexpr std::array<const char*, 3> kVoltageLabels = {"Ua", "Ub", "Uc"};
inline constexpr std::array<const char*, 3> kElementVoltageLabels = {"Uab", "", "Ucb"};
inline constexpr std::array<const char*, 3> kCurrentLabels = {"Ia", "Ib", "Ic"};
// Currents reach this share of the voltages' radius, so the two kinds stay apart.
inline constexpr double kCurrentReach = 0.68;
// Each arrow's label is centred this many pixels beyond its tip, on the arrow's line.
inline constexpr double kPhasorLabelGapPx = 14.0;
inline constexpr const char* kPhasorWaiting = "等待测量数据";
inline constexpr const char* kPhasorNote =
    "仪表不报告相角：图中电流的角度由各元件有功功率 P 和无功功率 Q 推算，φ = atan2(Q, P)。"
    "三相三线方式画两个元件的电压 Uab、Ucb 与电流 Ia、Ic。";
// The legend: line styles, then a square in each phase's colour before its name.
inline constexpr const char* kPhasorLegendLines = "实线：电压　虚线：电流";
inline constexpr std::array<const char*, 3> kPhaseNames = {"A相", "B相", "C相"};

// The traffic log's and the recording's controls.
inline constexpr const char* kPauseText = "暂停";
// The trend's zoom and pan undone; its tooltip tells the chart's mouse gestures.
inline constexpr const char* kResetZoomText = "复位";
inline constexpr const char* kResetZoomTip =
    "滚轮缩放时间轴，拖出方框放大，按住右键或中键拖动平移，双击或按此复位";
inline constexpr const char* kClearText = "清除";
inline constexpr const char* kSaveLogText = "保存…";
inline constexpr const char* kErrorsOnlyText = "只显示错误";
// The log's filter by slave address: below the addresses its "every address" entry, each address
// after the prefix ("地址 7").
inline constexpr const char* kAnyAddressText = "全部地址";
inline constexpr const char* kAddressPrefix = "地址 ";
inline constexpr const char* kAddressFilterTip = "只显示这个子机地址的报文（串口事件总显示）";
// The context menus of the log and the read-only tables.
inline constexpr const char* kCopyText = "复制";
inline constexpr const char* kSelectAllText = "全选";
inline constexpr const char* kStartRecordingText = "开始记录…";
inline constexpr const char* kStopRecordingText = "停止记录";
inline constexpr std::array<const char*, 3> kRecordingFacts = {"文件：", "已写行数：",
                                                               "已记录时间："};
// New lines reach the log's view at this pace rather than on every event.
inline constexpr std::chrono::milliseconds kTrafficFlushPeriod{2000};
// The recording's elapsed time is brought up to date at this pace while it records.
inline constexpr std::chrono::milliseconds kRecordingRefreshPeriod{1000};

}  // namespace kt::workbench
