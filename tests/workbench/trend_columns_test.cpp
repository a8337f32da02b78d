// The trend chart's columns: the stepped axis, and updates that match a fresh build.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "workbench/TrendColumns.h"

using namespace kt::workbench;
using kt::values::MeasuredBlock;
using kt::values::Quantity;
using namespace std::chrono_literals;

namespace {

// A whole hour since the epoch, so ticks of up to ten minutes fall on it.
const auto kStart = TrendClock::time_point{} + std::chrono::hours(480000);

MeasuredBlock BlockAt(std::chrono::milliseconds t, double voltage, uint32_t pollPeriodMs = 0) {
  MeasuredBlock b;
  b.time = kStart + t;
  b.pollPeriodMs = pollPeriodMs;
  b[Quantity::PhaseVoltageA] = voltage;
  b[Quantity::CurrentA] = 5.0;  // flat: its points change only when a column opens
  return b;
}

SeriesSet VoltageAndCurrent() {
  SeriesSet shown;
  shown.set(static_cast<std::size_t>(TrendSeries::PhaseVoltageA));
  shown.set(static_cast<std::size_t>(TrendSeries::CurrentA));
  return shown;
}

std::size_t Index(TrendSeries s) {
  return static_cast<std::size_t>(s);
}

TrendColumns Fresh(const TrendStore& store, const TrendAxis& axis) {
  TrendColumns fresh;
  fresh.Rebuild(store, axis, VoltageAndCurrent());
  return fresh;
}

std::vector<TrendPoint> FreshPoints(const TrendStore& store, const TrendAxis& axis,
                                    TrendSeries series) {
  return Fresh(store, axis).Points(series);
}

double Ms(TrendClock::time_point t) {
  return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count();
}

TEST(TrendAxis, EndsOnTheNextWholeTickAndShowsTheWholeSpan) {
  struct Case {
    std::chrono::minutes span;
    std::chrono::milliseconds tick;
    int ticks;
  };
  for (const Case& c : {Case{1min, 10s, 8}, Case{10min, 2min, 7}, Case{60min, 10min, 8}}) {
    const TrendAxis onTick = AxisFor(kStart + 2 * c.tick, c.span, 100);
    EXPECT_EQ(onTick.to, kStart + 2 * c.tick);
    const TrendAxis axis = AxisFor(kStart + 2 * c.tick + 1ms, c.span, 100);
    EXPECT_EQ(axis.tick, c.tick);
    EXPECT_EQ(axis.to, kStart + 3 * c.tick);
    EXPECT_EQ(axis.from, axis.to - c.span - c.tick);
    EXPECT_EQ(axis.TickCount(), c.ticks);
    // Blocks until the next tick keep the axis where it is.
    EXPECT_EQ(AxisFor(kStart + 3 * c.tick, c.span, 100), axis);
  }
}

TEST(TrendColumns, UpdatesMatchAFreshBuildAndNameTheSeriesThatChanged) {
  const auto volts = TrendSeries::PhaseVoltageA;
  const auto amps = TrendSeries::CurrentA;
  TrendStore store;
  const TrendAxis axis = AxisFor(kStart + 10min, 10min, 50);  // 12 minutes, columns of 14.4 s
  TrendColumns live;
  live.Rebuild(store, axis, VoltageAndCurrent());

  int voltageChanges = 0;
  int currentChanges = 0;
  for (int n = 1; n <= 1200; ++n) {
    const double voltage = 220.0 + 3.0 * std::sin(n * 0.7) + (n == 700 ? 80.0 : 0.0);
    store.Append(BlockAt(std::chrono::milliseconds(n * 500), voltage));
    const auto before = live.Points(volts);
    const SeriesSet changed = live.Update(store);
    const TrendColumns fresh = Fresh(store, axis);
    ASSERT_EQ(live.Points(volts), fresh.Points(volts)) << n;
    ASSERT_EQ(live.Points(amps), fresh.Points(amps)) << n;
    EXPECT_EQ(changed[Index(volts)], before != live.Points(volts)) << n;
    EXPECT_TRUE(live.Points(TrendSeries::LineVoltageAB).empty());
    voltageChanges += changed[Index(volts)];
    currentChanges += changed[Index(amps)];
  }
  // The blocks reach from 120.5 s to 720 s after the axis's start, columns 8 to 49 (the block on
  // the axis's end joins the last column): the flat current changes once per column opened, the
  // moving voltage far less often than per block.
  EXPECT_EQ(currentChanges, 42);
  EXPECT_LT(voltageChanges, 1200 / 2);

  // Two points per column at most, the swell among them, and the flat current one per column.
  const auto& points = live.Points(volts);
  EXPECT_LE(points.size(), 2 * axis.columns);
  EXPECT_DOUBLE_EQ(std::ranges::max(points, {}, &TrendPoint::value).value,
                   220.0 + 3.0 * std::sin(700 * 0.7) + 80.0);
  EXPECT_LE(live.Points(amps).size(), axis.columns);
  // The line reaches into the newest column.
  const double columnMs = (Ms(axis.to) - Ms(axis.from)) / static_cast<double>(axis.columns);
  EXPECT_GT(points.back().ms, Ms(kStart + 600s) - columnMs);
}

// The clock set back on the same axis: the chart shows the new trend only. Set forward past what
// the store keeps, on a zoomed stretch: nothing the store dropped stays. Set forward on the axis:
// the jump is a break.
TEST(TrendColumns, AClockSetBackOrForwardLeavesNoPointTheStoreDropped) {
  const auto volts = TrendSeries::PhaseVoltageA;
  TrendStore store;
  const TrendAxis axis = AxisFor(kStart + 300s, 10min, 50);  // up to 360 s
  TrendColumns live;
  live.Rebuild(store, axis, VoltageAndCurrent());
  for (int t = 0; t <= 300; ++t) {
    store.Append(BlockAt(t * 1s, 200.0 + t, 1000));
    live.Update(store);
  }
  store.Append(BlockAt(250s, 100.0, 1000));  // 50 s back: the same axis
  ASSERT_EQ(AxisFor(kStart + 250s, 10min, 50), axis);
  EXPECT_EQ(live.Update(store), VoltageAndCurrent());
  ASSERT_EQ(live.Points(volts).size(), 1u);
  EXPECT_EQ(live.Points(volts)[0].value, 100.0);
  for (int t = 251; t <= 350; ++t) {
    store.Append(BlockAt(t * 1s, 100.0 + t, 1000));
    live.Update(store);
  }
  EXPECT_EQ(live.Points(volts), FreshPoints(store, axis, volts));
  EXPECT_EQ(live.Points(volts).front().value, 100.0);

  store.Append(BlockAt(355s, 900.0, 1000));  // 5 s on: a break before the new point
  live.Update(store);
  const auto& points = live.Points(volts);
  EXPECT_EQ(points.back().value, 900.0);
  EXPECT_EQ(points.back().run, points[points.size() - 2].run + 1);

  // Zoomed to the first six minutes, then the clock jumps 72 minutes on: the store drops the
  // samples before 2 minutes and the new block lies past the stretch.
  const TrendAxis stretch = WindowAxis(kStart, kStart + 6min, 360);
  TrendColumns zoomed;
  zoomed.Rebuild(store, stretch, VoltageAndCurrent());
  ASSERT_EQ(zoomed.Points(volts).front().ms, Ms(kStart + 250s));
  TrendStore early;
  zoomed.Rebuild(early, stretch, VoltageAndCurrent());
  for (int t = 0; t <= 360; ++t) {
    early.Append(BlockAt(t * 1s, 200.0 + t, 1000));
    zoomed.Update(early);
  }
  EXPECT_EQ(zoomed.Points(volts).front().ms, Ms(kStart));
  early.Append(BlockAt(72min, 900.0, 1000));
  EXPECT_EQ(zoomed.Update(early), VoltageAndCurrent());
  EXPECT_EQ(zoomed.Points(volts), FreshPoints(early, stretch, volts));
  EXPECT_EQ(zoomed.Points(volts).front().ms, Ms(kStart + 2min));
  EXPECT_EQ(zoomed.Points(volts).back().ms, Ms(kStart + 6min));
}

// Blocks every 500 ms with a gap of 3 s (the store's table has the gap's edge): the break is
// drawn in columns finer than a block, and in a column that holds the gap with its lowest sample
// before it and its highest after it.
TEST(TrendColumns, AGapInThePollingBreaksTheLineInFineAndCoarseColumns) {
  const auto volts = TrendSeries::PhaseVoltageA;
  TrendStore store;
  std::chrono::milliseconds t{0};
  for (int n = 0; n < 40; ++n, t += 500ms) store.Append(BlockAt(t, 230.0, 500));
  t += 2500ms;
  for (int n = 0; n < 40; ++n, t += 500ms) store.Append(BlockAt(t, 240.0, 500));

  TrendColumns fine;
  fine.Rebuild(store, AxisFor(kStart + t - 500ms, 1min, 700), VoltageAndCurrent());
  const auto& points = fine.Points(volts);
  ASSERT_EQ(points.size(), 80u);
  for (std::size_t i = 1; i < points.size(); ++i) {
    EXPECT_EQ(points[i].run - points[i - 1].run, i == 40 ? 1u : 0u) << i;
  }

  // Columns of 10 s from -5 s: the gap after 19.5 s lies inside the third.
  TrendColumns coarse;
  coarse.Rebuild(store, WindowAxis(kStart - 5s, kStart + 55s, 6), VoltageAndCurrent());
  const auto& thinned = coarse.Points(volts);
  ASSERT_EQ(thinned.size(), 6u);
  EXPECT_EQ(thinned[2].value, 230.0);
  EXPECT_EQ(thinned[3].value, 240.0);
  EXPECT_EQ(thinned[1].run, thinned[2].run);
  EXPECT_EQ(thinned[3].run - thinned[2].run, 1u);
  EXPECT_EQ(thinned[4].run, thinned[3].run);
}

// Blocks at irregular times, some of them runs apart, and a stretch past its end: each update
// matches a fresh build, stays within two points a column and on the axis.
TEST(TrendColumns, UpdatesOnAStretchMatchAFreshBuildWithGapsAndBlocksPastItsEnd) {
  const auto volts = TrendSeries::PhaseVoltageA;
  TrendStore store;
  const TrendAxis stretch = WindowAxis(kStart + 30s, kStart + 5min, 40);
  TrendColumns live;
  live.Rebuild(store, stretch, VoltageAndCurrent());
  const int waitsMs[] = {500, 500, 1000, 1001, 480, 520, 3000, 999, 500, 16000};
  std::chrono::milliseconds t{0};
  for (int n = 0; n < 1000; ++n) {
    t += std::chrono::milliseconds(waitsMs[n % 10]);
    store.Append(BlockAt(t, 220.0 + std::fmod(n * 7.3, 11.0), 500));
    live.Update(store);
    ASSERT_EQ(live.Points(volts), FreshPoints(store, stretch, volts)) << n;
  }
  ASSERT_GT(t, 6min);
  const auto& points = live.Points(volts);
  EXPECT_LE(points.size(), 2 * stretch.columns);
  EXPECT_LE(points.back().ms, Ms(stretch.to));
  EXPECT_GE(points.front().ms, Ms(stretch.from));
  EXPECT_GT(points.back().run, points.front().run + 10);
}

}  // namespace

TEST(TrendColumns, ExtremesOfAGroupComeFromItsShownSeriesOnly) {
  TrendStore store;
  double lowest = 1e9;
  double highest = -1e9;
  for (int n = 1; n <= 300; ++n) {
    // One spike up and one down, each in a column of its own among many samples.
    const double voltage =
        220.0 + std::sin(n * 0.3) + (n == 40 ? 15.0 : 0.0) - (n == 250 ? 9.0 : 0.0);
    lowest = std::min(lowest, voltage);
    highest = std::max(highest, voltage);
    MeasuredBlock b = BlockAt(std::chrono::milliseconds(n * 1000), voltage);
    b[Quantity::PhaseVoltageB] = 400.0;  // same group, not shown
    b[Quantity::Frequency] = 50.0;       // not shown
    store.Append(b);
  }
  TrendColumns columns;
  columns.Rebuild(store, AxisFor(kStart + 5min, 10min, 60), VoltageAndCurrent());
  const GroupExtremes e = columns.ShownExtremes();
  const auto voltage = static_cast<std::size_t>(UnitGroup::Voltage);
  const auto current = static_cast<std::size_t>(UnitGroup::Current);
  const auto frequency = static_cast<std::size_t>(UnitGroup::Frequency);
  EXPECT_TRUE(e.used[voltage]);
  EXPECT_DOUBLE_EQ(e.low[voltage], lowest);
  EXPECT_DOUBLE_EQ(e.high[voltage], highest);
  EXPECT_TRUE(e.used[current]);
  EXPECT_DOUBLE_EQ(e.low[current], 5.0);
  EXPECT_DOUBLE_EQ(e.high[current], 5.0);
  EXPECT_FALSE(e.used[frequency]);
}

TEST(TrendColumns, RefreshBuildsAnewOnlyWhenStaleOrTheAxisOrTheShownSeriesChanged) {
  TrendStore store;
  for (int n = 1; n <= 20; ++n) store.Append(BlockAt(std::chrono::seconds(n), 220.0 + n));
  const TrendAxis axis = AxisFor(kStart + 1min, 10min, 60);
  TrendColumns columns;
  EXPECT_TRUE(columns.Refresh(store, axis, VoltageAndCurrent(), false).rebuilt);  // first build
  const auto voltage = Index(TrendSeries::PhaseVoltageA);

  store.Append(BlockAt(21s, 300.0));
  const TrendColumns::Refreshed update = columns.Refresh(store, axis, VoltageAndCurrent(), false);
  EXPECT_FALSE(update.rebuilt);
  EXPECT_TRUE(update.changed[voltage]);
  EXPECT_EQ(columns.Points(TrendSeries::PhaseVoltageA),
            FreshPoints(store, axis, TrendSeries::PhaseVoltageA));

  const TrendColumns::Refreshed stale = columns.Refresh(store, axis, VoltageAndCurrent(), true);
  EXPECT_TRUE(stale.rebuilt);
  EXPECT_EQ(stale.changed, VoltageAndCurrent());
  EXPECT_TRUE(
      columns.Refresh(store, AxisFor(kStart + 1min, 1min, 60), VoltageAndCurrent(), false).rebuilt);
  SeriesSet voltageOnly;
  voltageOnly.set(voltage);
  const TrendColumns::Refreshed fewer =
      columns.Refresh(store, AxisFor(kStart + 1min, 1min, 60), voltageOnly, false);
  EXPECT_TRUE(fewer.rebuilt);
  EXPECT_EQ(fewer.changed, voltageOnly);
  EXPECT_TRUE(columns.Points(TrendSeries::CurrentA).empty());
}
