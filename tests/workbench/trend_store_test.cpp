// The trend store: bounded memory, the time window, and the unit chosen for each group.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "workbench/TrendStore.h"

using namespace kt::workbench;
using kt::measure::MeasuredBlock;
using kt::measure::Quantity;
using std::chrono::minutes;
using std::chrono::seconds;

namespace {

const auto kStart = std::chrono::system_clock::time_point{} + std::chrono::hours(1000);

// A block at `t` seconds whose phase A voltage is `t` volts, so a sample tells where it came from.
MeasuredBlock BlockAt(int t) {
  MeasuredBlock b;
  b.time = kStart + seconds(t);
  b[Quantity::PhaseVoltageA] = t;
  b[Quantity::LineVoltageAB] = 380.0;
  b[Quantity::TotalActivePower] = 1500.0;
  b[Quantity::Frequency] = 49.0 + t / 1000.0;
  return b;
}

TEST(TrendStore, FullRingDropsTheOldest) {
  TrendStore store(10);
  for (int t = 0; t < 25; ++t) store.Append(BlockAt(t));
  EXPECT_EQ(store.size(), 10u);
  const TrendWindow w = store.Query(minutes(60));
  ASSERT_EQ(w.samples.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(w.samples[i][TrendSeries::PhaseVoltageA], 15 + i);
}

TEST(TrendStore, KeepsOnlyTheLastHour) {
  TrendStore store;
  for (int t = 0; t <= 2 * 3600; t += 2) store.Append(BlockAt(t));
  const TrendWindow w = store.Query(minutes(600));
  EXPECT_EQ(w.samples.front()[TrendSeries::PhaseVoltageA], 3600);
  EXPECT_EQ(w.samples.back()[TrendSeries::PhaseVoltageA], 7200);
  EXPECT_EQ(store.size(), 1801u);
}

TEST(TrendStore, WindowEndsAtTheNewestSample) {
  TrendStore store;
  for (int t = 0; t < 1200; ++t) store.Append(BlockAt(t));
  for (const auto& [span, count] : {std::pair{1, 61u}, {10, 601u}, {60, 1200u}}) {
    const TrendWindow w = store.Query(minutes(span));
    ASSERT_EQ(w.samples.size(), count) << span;
    EXPECT_EQ(w.samples.back()[TrendSeries::PhaseVoltageA], 1199);
    const GroupRange& hz = w.range(UnitGroup::Frequency);
    EXPECT_DOUBLE_EQ(hz.min, 49.0 + std::max(0, 1199 - 60 * span) / 1000.0) << span;
    EXPECT_DOUBLE_EQ(hz.max, 49.0 + 1199 / 1000.0) << span;
  }
}

TEST(TrendStore, ClockSetBackStartsAfresh) {
  TrendStore store;
  for (int t = 100; t < 110; ++t) store.Append(BlockAt(t));
  store.Append(BlockAt(50));
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(store.Query(minutes(1)).samples.front()[TrendSeries::PhaseVoltageA], 50);
}

TEST(TrendStore, EmptyStoreGivesAnEmptyWindow) {
  const TrendWindow w = TrendStore().Query(minutes(10));
  EXPECT_TRUE(w.samples.empty());
  EXPECT_FALSE(w.range(UnitGroup::Voltage).hasValues);
}

TEST(TrendStore, UnitFollowsTheLargestMagnitudeOfTheGroup) {
  struct Case {
    UnitGroup group;
    double largest;
    const char* unit;
    double divisor;
  };
  const Case cases[] = {
      {UnitGroup::Voltage, 999.9, "V", 1},          {UnitGroup::Voltage, 10500, "kV", 1e3},
      {UnitGroup::ActivePower, 999, "W", 1},        {UnitGroup::ActivePower, -2500, "kW", 1e3},
      {UnitGroup::ActivePower, 2.5e6, "MW", 1e6},   {UnitGroup::ReactivePower, 4e3, "kvar", 1e3},
      {UnitGroup::ReactivePower, 3e7, "Mvar", 1e6}, {UnitGroup::ApparentPower, 12, "VA", 1},
      {UnitGroup::ApparentPower, 1e6, "MVA", 1e6},  {UnitGroup::Current, 5000, "A", 1},
      {UnitGroup::Frequency, 50, "Hz", 1},          {UnitGroup::PowerFactor, 0.95, "", 1},
  };
  for (const Case& c : cases) {
    const UnitChoice u = ChooseUnit(c.group, c.largest);
    EXPECT_STREQ(u.unit, c.unit) << c.largest;
    EXPECT_EQ(u.divisor, c.divisor) << c.largest;
  }
  // The window applies it per group, from the group's own range.
  TrendStore store;
  MeasuredBlock b = BlockAt(0);
  b[Quantity::TotalActivePower] = -2.4e6;
  store.Append(b);
  const TrendWindow w = store.Query(minutes(1));
  EXPECT_STREQ(w.range(UnitGroup::ActivePower).unit.unit, "MW");
  EXPECT_STREQ(w.range(UnitGroup::Voltage).unit.unit, "V");
  EXPECT_EQ(w.range(UnitGroup::ActivePower).min, -2.4e6);
}

}  // namespace
