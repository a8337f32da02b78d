// The trend chart's columns: the stepped axis, and updates that match a fresh build.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "workbench/TrendColumns.h"

using namespace kt::workbench;
using kt::measure::MeasuredBlock;
using kt::measure::Quantity;
using namespace std::chrono_literals;

namespace {

// A whole hour since the epoch, so ticks of up to ten minutes fall on it.
const auto kStart = TrendClock::time_point{} + std::chrono::hours(480000);

MeasuredBlock BlockAt(std::chrono::milliseconds t, double voltage) {
  MeasuredBlock b;
  b.time = kStart + t;
  b[Quantity::PhaseVoltageA] = voltage;
  b[Quantity::CurrentA] = 5.0;  // flat: its points change only when a column opens
  return b;
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
  TrendStore store;
  SeriesSet shown;
  shown.set(static_cast<std::size_t>(TrendSeries::PhaseVoltageA));
  shown.set(static_cast<std::size_t>(TrendSeries::CurrentA));
  const TrendAxis axis = AxisFor(kStart + 10min, 10min, 50);  // 12 minutes, columns of 14.4 s
  TrendColumns live;
  live.Rebuild(store, axis, shown);

  int voltageChanges = 0;
  int currentChanges = 0;
  for (int n = 1; n <= 1200; ++n) {
    const double voltage = 220.0 + 3.0 * std::sin(n * 0.7) + (n == 700 ? 80.0 : 0.0);
    store.Append(BlockAt(std::chrono::milliseconds(n * 500), voltage));
    const auto before = live.Points(TrendSeries::PhaseVoltageA);
    const SeriesSet changed = live.Update(store);

    TrendColumns fresh;
    fresh.Rebuild(store, axis, shown);
    ASSERT_EQ(live.Points(TrendSeries::PhaseVoltageA), fresh.Points(TrendSeries::PhaseVoltageA))
        << n;
    ASSERT_EQ(live.Points(TrendSeries::CurrentA), fresh.Points(TrendSeries::CurrentA)) << n;
    EXPECT_EQ(changed[static_cast<std::size_t>(TrendSeries::PhaseVoltageA)],
              before != live.Points(TrendSeries::PhaseVoltageA))
        << n;
    EXPECT_TRUE(live.Points(TrendSeries::LineVoltageAB).empty());
    voltageChanges += changed[static_cast<std::size_t>(TrendSeries::PhaseVoltageA)];
    currentChanges += changed[static_cast<std::size_t>(TrendSeries::CurrentA)];
  }
  // The blocks reach from 120.5 s to 720 s after the axis's start, columns 8 to 50: the flat
  // current changes once per column opened, the moving voltage far less often than per block.
  EXPECT_EQ(currentChanges, 43);
  EXPECT_LT(voltageChanges, 1200 / 2);

  // Two points per column at most, the swell among them, and the flat current one per column.
  const auto& volts = live.Points(TrendSeries::PhaseVoltageA);
  EXPECT_LE(volts.size(), 2 * axis.columns);
  double peak = 0;
  for (const TrendPoint& p : volts) peak = std::max(peak, p.value);
  EXPECT_DOUBLE_EQ(peak, 220.0 + 3.0 * std::sin(700 * 0.7) + 80.0);
  EXPECT_LE(live.Points(TrendSeries::CurrentA).size(), axis.columns);
  // The line reaches into the newest column.
  const double columnMs = Ms(axis.to) - Ms(axis.from);
  EXPECT_GT(volts.back().ms, Ms(kStart + 600s) - columnMs / static_cast<double>(axis.columns));
}

}  // namespace
