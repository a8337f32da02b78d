// The trend chart's labels, legend and pointer, fitted to the room a front end gives.
#include "workbench/TrendLayout.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "values/LocalTimeText.h"
#include "workbench/RoundTimeSteps.h"

namespace kt::workbench {
namespace {

using std::chrono::milliseconds;
using std::chrono::minutes;

long long Ms(TrendClock::time_point t) {
  return std::chrono::duration_cast<milliseconds>(t.time_since_epoch()).count();
}

}  // namespace

TimeLabels ChooseTimeLabels(const TrendAxis& axis, double plotWidthPx, const TextWidth& width,
                            double scale) {
  const long long from = Ms(axis.from);
  const long long to = Ms(axis.to);
  const auto span = static_cast<double>(std::max(1LL, to - from));
  const double full = width(WidestTimeLabel()) + kTimeLabelGap * scale;
  const double shortened = width(WidestTimeLabel().substr(0, 5)) + kTimeLabelGap * scale;
  TimeLabels chosen;
  for (const milliseconds step : kRoundTimeSteps) {
    chosen.step = step;
    chosen.seconds = step % minutes(1) != milliseconds(0);
    const double pitch = plotWidthPx * static_cast<double>(step.count()) / span;
    if (pitch >= (chosen.seconds ? full : shortened)) break;
  }
  const long long step = chosen.step.count();
  for (long long t = (from + step - 1) / step * step; t <= to; t += step) {
    chosen.at.push_back(static_cast<double>(t));
  }
  return chosen;
}

std::string TimeLabel(double ms, bool seconds) {
  const TrendClock::time_point t{std::chrono::milliseconds(std::llround(ms))};
  const std::string clock = values::LocalTimeText(t, values::TimeFields::Seconds);
  return seconds ? clock : clock.substr(0, 5);
}

std::string WidestTimeLabel() {
  return "00:00:00";
}

double TickValue(const GroupAxis& axis, int i) {
  const int steps = std::max(1, axis.range.ticks - 1);
  return axis.range.low + (axis.range.high - axis.range.low) * i / steps;
}

std::string ValueLabel(const GroupAxis& axis, int i) {
  double value = TickValue(axis, i);
  if (std::abs(value) < 0.5 * std::pow(10.0, -axis.decimals)) value = 0;  // never "-0.0"
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", axis.decimals, value);
  return text;
}

AxisTitlePlaces PlaceAxisTitles(const TrendModel& trend) {
  AxisTitlePlaces places;
  std::array<int, 2> used{};  // left, right
  for (std::size_t g = 0; g < kUnitGroupCount; ++g) {
    places.row[g] = -1;
    if (!trend.Axis(static_cast<UnitGroup>(g)).used) continue;
    int& side = used[kAxisOnLeft[g] ? 0 : 1];
    places.row[g] = side++;
    places.rows = std::max(places.rows, side);
  }
  return places;
}

std::optional<UnitGroup> GridGroup(const TrendModel& trend) {
  for (std::size_t g = 0; g < kUnitGroupCount; ++g) {
    if (trend.Axis(static_cast<UnitGroup>(g)).used) return static_cast<UnitGroup>(g);
  }
  return std::nullopt;
}

double XOf(const TrendAxis& axis, const PlotBox& plot, double ms) {
  const auto from = static_cast<double>(Ms(axis.from));
  const double span = std::max(1.0, static_cast<double>(Ms(axis.to)) - from);
  return plot.left + (ms - from) / span * plot.width;
}

double YOf(const GroupAxis& axis, const PlotBox& plot, double value) {
  const double range = std::max(1e-12, axis.range.high - axis.range.low);
  return plot.top + plot.height - (value - axis.range.low) / range * plot.height;
}

LegendLayout LayOutLegend(SeriesSet shown, double widthPx, const TextWidth& width, double scale) {
  LegendLayout legend;
  double x = 0;
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
    if (!shown[s]) continue;
    const auto series = static_cast<TrendSeries>(s);
    const std::string name = SeriesName(series);
    const double entry = (kLegendLine + kLegendLineGap) * scale + width(name);
    // An entry that does not fit starts a new row, unless it is the first of its row.
    if (x > 0 && x + entry > widthPx) {
      x = 0;
      ++legend.rows;
    }
    legend.entries.push_back({series, name, SeriesColour(series), x, legend.rows});
    x += entry + kLegendEntryGap * scale;
  }
  if (!legend.entries.empty()) ++legend.rows;
  return legend;
}

std::optional<PointedValue> ValueAt(const TrendModel& trend, const PlotBox& plot, double x,
                                    double y, double reachPx) {
  if (x < plot.left || x > plot.left + plot.width || y < plot.top || y > plot.top + plot.height) {
    return std::nullopt;
  }
  const TrendColumns& columns = trend.Columns();
  std::optional<PointedValue> nearest;
  double best = reachPx * reachPx;
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
    const auto series = static_cast<TrendSeries>(s);
    const GroupAxis& axis = trend.Axis(GroupOf(series));
    if (!columns.shown()[s] || !axis.used) continue;
    for (const TrendPoint& p : columns.Points(series)) {
      const double value = p.value / axis.unit.divisor;
      const double px = XOf(columns.axis(), plot, p.ms);
      const double py = YOf(axis, plot, value);
      const double distance = (px - x) * (px - x) + (py - y) * (py - y);
      if (distance > best) continue;
      best = distance;
      nearest = PointedValue{series, p.ms, value, px, py, ""};
    }
  }
  if (!nearest) return nearest;
  const UnitChoice& unit = trend.Axis(GroupOf(nearest->series)).unit;
  char value[48];
  std::snprintf(value, sizeof value, "%.3f", nearest->value);
  nearest->text = TimeLabel(nearest->ms, true) + "  " + SeriesName(nearest->series) + " " + value;
  if (*unit.unit != '\0') nearest->text += std::string(" ") + unit.unit;
  return nearest;
}

}  // namespace kt::workbench
