// How the trend chart fits the room it has, the same for every front end: which ticks of the time
// axis carry a label and how long the labels are, the value axes' labels, the legend's entries and
// rows, where a time or a value lies on the plot, and the value under the pointer. Lengths are in
// a front end's pixels; text widths come from its font, and `scale` is its pixels per 96-dpi pixel.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "workbench/TrendModel.h"

namespace kt::workbench {

// The width of a text in the front end's font, in its pixels.
using TextWidth = std::function<double(const std::string&)>;

// The time axis's labels: at the multiples of a round `step` (1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10,
// 15, 30 min, 1 h) that lie on the axis, the smallest step whose labels fit the plot's width, so a
// wide chart has more of them; "19:24:30", or "19:24" for steps of whole minutes. A grid line
// stands at each.
struct TimeLabels {
  std::chrono::milliseconds step{};
  bool seconds = true;
  std::vector<double> at;  // ms since the epoch, in order
};
// Room left between two time labels (96-dpi pixels).
inline constexpr double kTimeLabelGap = 16;
TimeLabels ChooseTimeLabels(const TrendAxis& axis, double plotWidthPx, const TextWidth& width,
                            double scale = 1);
// The label of the local time `ms` (since the epoch).
std::string TimeLabel(double ms, bool seconds);
// The widest label the choice may give: room for half of it is kept beside the plot.
std::string WidestTimeLabel();

// The value of a group axis's tick `i` (0 at the bottom) in the shown unit, and its label.
double TickValue(const GroupAxis& axis, int i);
std::string ValueLabel(const GroupAxis& axis, int i);

// The value axes' titles ("电压 (V)") stand above the plot, a row each on their side of the chart
// (kAxisOnLeft), so that they never crowd the labels however narrow the chart: the row of each
// shown group's title, and how many rows the fuller side needs (at least one).
struct AxisTitlePlaces {
  std::array<int, kUnitGroupCount> row{};  // -1 for a group without an axis
  int rows = 1;
};
AxisTitlePlaces PlaceAxisTitles(const TrendModel& trend);
// The group whose value axis draws the horizontal grid lines: the first with an axis, as a second
// set would not line up with the first. None while no group has one.
std::optional<UnitGroup> GridGroup(const TrendModel& trend);

// Where the time `ms` and a value in the group's shown unit lie on `plot`.
double XOf(const TrendAxis& axis, const PlotBox& plot, double ms);
double YOf(const GroupAxis& axis, const PlotBox& plot, double value);

// The legend: one entry per shown series in the order of the check boxes, laid out in rows as
// wide as the chart: a short line in the series' colour, then its name.
struct LegendEntry {
  TrendSeries series;
  std::string name;
  Rgb colour;
  double x;  // from the legend's left edge
  int row;
};
struct LegendLayout {
  std::vector<LegendEntry> entries;
  int rows = 0;
};
// The line drawn before a name, the room between it and the name, and between two entries (96-dpi
// pixels).
inline constexpr double kLegendLine = 18;
inline constexpr double kLegendLineGap = 4;
inline constexpr double kLegendEntryGap = 14;
LegendLayout LayOutLegend(SeriesSet shown, double widthPx, const TextWidth& width,
                          double scale = 1);

// The drawn point nearest the pointer at (`x`, `y`) within `reachPx`, and the line telling it:
// "19:24:30  A相电压 230.125 V".
struct PointedValue {
  TrendSeries series;
  double ms;
  double value;  // in the group's shown unit
  double x;
  double y;
  std::string text;
};
inline constexpr double kPointerReach = 16;  // 96-dpi pixels
// A point alone between two gaps is drawn as a dot this wide, in 96-dpi pixels.
inline constexpr double kLonePointSize = 5;
std::optional<PointedValue> ValueAt(const TrendModel& trend, const PlotBox& plot, double x,
                                    double y, double reachPx);

}  // namespace kt::workbench
