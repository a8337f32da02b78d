// Control identifiers of the dialog "自动查找仪表".
#pragma once

namespace kt::ui::find_meter_ids {

inline constexpr int kTemplateId = 132;

inline constexpr int kAttemptText = 1000;      // what is being tried now
inline constexpr int kProgressBar = 1001;      // the share of the sweep done
inline constexpr int kProgressText = 1002;     // the share and the time left in words
inline constexpr int kOnlyCurrentPort = 1003;  // check box "只查当前端口"
inline constexpr int kStopAfterFirst = 1004;   // check box "找到一台后停止"
inline constexpr int kStartButton = 1005;
inline constexpr int kStopButton = 1006;
inline constexpr int kMeterTable = 1007;      // the meters found
inline constexpr int kFailureList = 1008;     // the ports that could not be used, with the reason
inline constexpr int kUseButton = 1009;       // "使用": the selected meter's settings
inline constexpr int kAddToBusButton = 1010;  // "加入总线": every meter found onto the bus list

// The timer that drives the sweep, and its period.
inline constexpr unsigned kSweepTimer = 1;
inline constexpr unsigned kSweepTickMs = 10;

}  // namespace kt::ui::find_meter_ids
