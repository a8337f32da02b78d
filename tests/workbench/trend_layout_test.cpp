// The trend chart fitted to its room: time labels, legend rows, axis titles, value labels, the box
// too narrow to zoom, and the value under the pointer.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <utility>

#include "workbench/TrendLayout.h"

using namespace kt::workbench;
using namespace std::chrono_literals;

namespace {

const auto kHour = TrendClock::time_point{} + std::chrono::hours(480000);

// 7 pixels a byte for the times, 12 a character for the names (three bytes each in UTF-8).
double Width(const std::string& text) {
  double w = 0;
  for (const unsigned char c : text) w += c < 0x80 ? 7 : (c >= 0xC0 ? 12 : 0);
  return w;
}

TrendAxis Axis(std::chrono::seconds from, std::chrono::seconds to) {
  return {kHour + from, kHour + to, std::chrono::seconds(10), 100};
}

}  // namespace

// "00:00:00" is 56 px and "00:00" 35, each with 16 px to spare: labels on the multiples of the
// smallest round step that fits, without the seconds for steps of whole minutes.
TEST(TrendLayout, TimeLabelsAreTheMostThatFitAtTheWidth) {
  struct Row {
    TrendAxis axis;
    double width;
    std::chrono::milliseconds step;
    bool seconds;
    std::size_t count;
    std::chrono::seconds first;  // after the hour
  };
  const TrendAxis tenMinutes = Axis(0s, 720s);
  const TrendAxis oneMinute = Axis(50s, 120s);
  const TrendAxis zoomed = Axis(5s, 65s);
  const Row rows[] = {
      {tenMinutes, 1728, 30s, true, 25, 0s},  {tenMinutes, 1727, 1min, false, 13, 0s},
      {tenMinutes, 612, 1min, false, 13, 0s}, {tenMinutes, 611, 2min, false, 7, 0s},
      {tenMinutes, 306, 2min, false, 7, 0s},  {tenMinutes, 305, 5min, false, 3, 0s},
      {oneMinute, 504, 10s, true, 8, 50s},    {oneMinute, 503, 15s, true, 5, 60s},
      {oneMinute, 336, 15s, true, 5, 60s},    {oneMinute, 335, 30s, true, 3, 60s},
      {oneMinute, 168, 30s, true, 3, 60s},    {oneMinute, 167, 1min, false, 2, 60s},
      {oneMinute, 59, 2min, false, 1, 120s},  {zoomed, 432, 10s, true, 6, 10s},
  };
  for (const Row& r : rows) {
    const TimeLabels labels = ChooseTimeLabels(r.axis, r.width, Width);
    EXPECT_EQ(labels.step, r.step) << r.width;
    EXPECT_EQ(labels.seconds, r.seconds) << r.width;
    ASSERT_EQ(labels.at.size(), r.count) << r.width;
    const auto first =
        std::chrono::duration_cast<std::chrono::milliseconds>((kHour + r.first).time_since_epoch());
    EXPECT_EQ(labels.at.front(), static_cast<double>(first.count())) << r.width;
  }
  // At 120 dpi the gap grows with the pixels: 35 + 20 per label.
  EXPECT_EQ(ChooseTimeLabels(tenMinutes, 660, Width, 1.25).step, 1min);
  EXPECT_EQ(ChooseTimeLabels(tenMinutes, 659, Width, 1.25).step, 2min);
}

// The seven series shown at first: six names such as "A相电压" (43 px, 65 with the line before
// them) and "总有功功率" (60 px, 82), 14 px apart: 556 px in one row.
TEST(TrendLayout, TheLegendWrapsIntoRowsInTheOrderOfTheBoxes) {
  SeriesSet shown;
  for (const TrendSeries s : kShownAtStart) shown.set(static_cast<std::size_t>(s));
  struct Row {
    double width;
    int rows;
    int lastRow;  // "总有功功率"'s
    double lastX;
  };
  const Row rows[] = {{556, 1, 0, 474}, {555, 2, 1, 0}, {223, 3, 2, 0},
                      {222, 4, 3, 0},   {65, 7, 6, 0},  {40, 7, 6, 0}};
  for (const Row& r : rows) {
    const LegendLayout legend = LayOutLegend(shown, r.width, Width);
    ASSERT_EQ(legend.entries.size(), kShownAtStart.size());
    for (std::size_t i = 0; i < legend.entries.size(); ++i) {
      EXPECT_EQ(legend.entries[i].series, kShownAtStart[i]);
    }
    EXPECT_EQ(legend.rows, r.rows) << r.width;
    EXPECT_EQ(legend.entries.back().row, r.lastRow) << r.width;
    EXPECT_EQ(legend.entries.back().x, r.lastX) << r.width;
  }
  EXPECT_EQ(LayOutLegend(SeriesSet{}, 600, Width).rows, 0);
}

namespace {

kt::values::MeasuredBlock Block(TrendClock::time_point t, double hz, double volts) {
  kt::values::MeasuredBlock b;
  b.time = t;
  b[kt::values::Quantity::Frequency] = hz;
  b[kt::values::Quantity::PhaseVoltageA] = volts;
  b[kt::values::Quantity::CurrentA] = 5;
  b[kt::values::Quantity::TotalActivePower] = 1000;
  return b;
}

std::string ClockOf(TrendClock::time_point t) {
  const std::time_t seconds = TrendClock::to_time_t(t);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

}  // namespace

// A flat 50 Hz line: the pointer finds its point up to 16 px above it and nothing further; the
// value is told in the axis's unit at the point's time. A box narrower than 4 px is a click.
TEST(TrendLayout, TheValueUnderThePointerAndTheBoxTooNarrow) {
  TrendModel trend;
  EXPECT_FALSE(GridGroup(trend));  // no data: no axis draws a grid
  for (const TrendSeries s : kShownAtStart) trend.SetShown(s, false);
  trend.SetShown(TrendSeries::Frequency, true);
  trend.SetSpan(std::chrono::minutes(1));  // a column for each block
  for (int i = 0; i < 60; ++i) trend.AddBlock(Block(kHour + i * 1s, 50.0, 230.0));
  trend.Refresh(600);
  const PlotBox plot{40, 20, 600, 300};
  const TrendAxis& axis = trend.Columns().axis();
  const auto at = kHour + 30s;
  const double x = 40 + 600 * std::chrono::duration<double>(at - axis.from).count() /
                            std::chrono::duration<double>(axis.to - axis.from).count();
  const GroupAxis& hz = trend.Axis(UnitGroup::Frequency);
  const double y = 20 + 300 * (hz.range.high - 50.0) / (hz.range.high - hz.range.low);
  struct Row {
    double dy;
    bool found;
  };
  for (const Row r : {Row{0, true}, Row{-15.9, true}, Row{-16.1, false}, Row{16.1, false}}) {
    const auto pointed = ValueAt(trend, plot, x, y + r.dy, kPointerReach);
    ASSERT_EQ(pointed.has_value(), r.found) << r.dy;
    if (!pointed) continue;
    EXPECT_EQ(pointed->series, TrendSeries::Frequency);
    EXPECT_EQ(pointed->text, ClockOf(at) + "  频率 50.000 Hz");
  }
  EXPECT_FALSE(ValueAt(trend, plot, 39, y, kPointerReach));  // beside the plot
  EXPECT_EQ(GridGroup(trend), UnitGroup::Frequency);         // the groups before it have no axis

  // Three more series: voltage and power on the left, current on the right.
  trend.SetShown(TrendSeries::PhaseVoltageA, true);
  trend.SetShown(TrendSeries::CurrentA, true);
  trend.SetShown(TrendSeries::TotalActivePower, true);
  trend.Refresh(600);
  const AxisTitlePlaces titles = PlaceAxisTitles(trend);
  EXPECT_EQ(titles.rows, 2);
  EXPECT_EQ(titles.row, (std::array<int, kUnitGroupCount>{0, 0, 1, -1, -1, -1, 1}));
  EXPECT_EQ(GridGroup(trend), UnitGroup::Voltage);

  trend.ZoomToBox(plot, {100, 50, 3.9, 100});
  EXPECT_FALSE(trend.Zoomed());
  trend.ZoomToBox(plot, {100, 50, 4, 100});
  EXPECT_TRUE(trend.Zoomed());
}

// A tick that rounds to zero (a rounding error off it) is labelled "0.0", not "-0.0".
TEST(TrendLayout, ValueLabelsNeverShowMinusZero) {
  GroupAxis axis;
  axis.decimals = 1;
  for (const auto& [low, label] : {std::pair{-0.049, "0.0"}, std::pair{-0.051, "-0.1"},
                                   std::pair{-1e-17, "0.0"}, std::pair{0.049, "0.0"}}) {
    axis.range = {low, 1, 2};
    EXPECT_EQ(ValueLabel(axis, 0), label) << low;
  }
}
