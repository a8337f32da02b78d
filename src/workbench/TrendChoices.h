// What the trend chart offers and how it lays its axes out, the same for every front end: the
// unit groups' titles, the spans, the series shown at first, each series' colour, the point
// budget that sets the number of columns, and the round steps of a value axis.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

#include "workbench/TrafficLogColours.h"
#include "workbench/TrendStore.h"

namespace kt::workbench {

// Indexed by UnitGroup.
inline constexpr std::array<const char*, kUnitGroupCount> kUnitGroupTitles = {
    "电压", "电流", "有功功率", "无功功率", "视在功率", "功率因数", "频率"};
// Which side of the plot each group's value axis stands on.
inline constexpr std::array<bool, kUnitGroupCount> kAxisOnLeft = {true, false, true, false,
                                                                  true, false, false};

struct TrendSpan {
  const char* label;
  std::chrono::minutes span;
};
inline constexpr std::array<TrendSpan, 3> kTrendSpans = {
    {{"最近 1 分钟", std::chrono::minutes(1)},
     {"最近 10 分钟", std::chrono::minutes(10)},
     {"最近 60 分钟", std::chrono::minutes(60)}}};
inline constexpr std::size_t kDefaultSpanIndex = 1;
// The place of `span` in the span list; none for a span it does not offer.
constexpr std::optional<std::size_t> TrendSpanIndex(std::chrono::minutes span) {
  for (std::size_t i = 0; i < kTrendSpans.size(); ++i) {
    if (kTrendSpans[i].span == span) return i;
  }
  return std::nullopt;
}
inline constexpr const char* kTrendSpanLabel = "时间范围";
inline constexpr const char* kExportPictureText = "导出图片…";
inline constexpr const char* kTimeAxisTitle = "时间";

// Shown when the tab opens: what a commissioning engineer looks at first.
inline constexpr std::array<TrendSeries, 7> kShownAtStart = {
    TrendSeries::PhaseVoltageA,   TrendSeries::PhaseVoltageB, TrendSeries::PhaseVoltageC,
    TrendSeries::CurrentA,        TrendSeries::CurrentB,      TrendSeries::CurrentC,
    TrendSeries::TotalActivePower};

// The line colour of a series: voltages in their phase's colour, currents and power factors in a
// darker shade of it (so that a voltage and a current of the same phase can be told apart).
Rgb SeriesColour(TrendSeries series);

// Every change of a series' points costs a pass over all of them, so the points of all shown
// series together stay within a budget: columns of at least two pixels, each giving its lowest
// and highest sample, and fewer columns the more series are shown (never fewer than 60).
inline constexpr std::size_t kPointsPerColumn = 2;
inline constexpr std::size_t kColumnPixels = 2;
inline constexpr std::size_t kLeastColumns = 60;
inline constexpr std::size_t kPointBudget = 3000;
std::size_t TrendColumnCount(std::size_t plotWidthPx, std::size_t shownSeries);

// A value axis on round steps (1, 2 or 5 times a power of ten) around [low, high]: about five
// steps, `ticks` labels.
struct NiceRange {
  double low;
  double high;
  int ticks;
};
NiceRange MakeNice(double low, double high);
// Data from `low` to `high` (in the shown unit) with some room around it, also for a flat line;
// the room never reaches across zero, so an axis of values that are all positive does not
// extend below zero.
struct ValueBounds {
  double low;
  double high;
};
ValueBounds PaddedBounds(double low, double high);
// The range a group's axis needs for that data: its padded bounds on round steps.
NiceRange AxisRangeFor(double low, double high);
// A fitted value axis stays as it is while it holds the data and the data's padded bounds fill at
// least this share of it: the scale does not twitch with every block.
inline constexpr double kLeastAxisFill = 0.5;
// Enough decimals to tell the labels of an axis spanning `span` apart.
int LabelDecimals(double span);

}  // namespace kt::workbench
