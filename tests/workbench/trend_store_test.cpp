// The trend store: bounded memory, the time window, and the unit chosen for each group.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "workbench/TrendStore.h"

using namespace kt::workbench;
using kt::values::MeasuredBlock;
using kt::values::Quantity;
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

double VoltsAt(const TrendStore& store, std::size_t i) {
  return store.At(i)[TrendSeries::PhaseVoltageA];
}

// The hour the chart shows and its ten-minute label step: a sample exactly 70 minutes older than
// the newest stays; one a second older goes.
TEST(TrendStore, KeepsTheLongestSpanAndOneLabelStep) {
  TrendStore store;
  for (int t = 0; t <= 2 * 3600; t += 2) store.Append(BlockAt(t));
  EXPECT_EQ(VoltsAt(store, 0), 3000);
  EXPECT_EQ(VoltsAt(store, store.size() - 1), 7200);
  EXPECT_EQ(store.size(), 2101u);
  store.Append(BlockAt(7201));
  EXPECT_EQ(VoltsAt(store, 0), 3002);
}

// A full ring drops the oldest; the search for a time: before the first, on a sample, between
// two, after the last.
TEST(TrendStore, FullRingDropsTheOldestAndFindsTheFirstSampleAtOrAfterATime) {
  TrendStore store(10);
  for (int t = 0; t < 25; ++t) store.Append(BlockAt(2 * t));  // kept: 30, 32, ..., 48 s
  ASSERT_EQ(store.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i)
    EXPECT_EQ(VoltsAt(store, i), 30.0 + 2.0 * static_cast<double>(i));
  EXPECT_EQ(store.FirstSerial(), 15u);
  struct Case {
    std::chrono::milliseconds at;
    std::size_t index;
  };
  const Case cases[] = {
      {seconds(0), 0},
      {std::chrono::milliseconds(29999), 0},
      {seconds(30), 0},
      {std::chrono::milliseconds(30001), 1},
      {seconds(33), 2},
      {seconds(48), 9},
      {std::chrono::milliseconds(48001), 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(store.FirstAtOrAfter(kStart + c.at), c.index) << c.at.count();
  }
  for (int span : {1, 10, 60}) {
    TrendStore full;
    for (int t = 0; t < 1200; ++t) full.Append(BlockAt(t));
    const std::size_t first = full.FirstAtOrAfter(kStart + seconds(1199) - minutes(span));
    EXPECT_EQ(full.size() - first, std::min(1200u, 60u * static_cast<unsigned>(span) + 1)) << span;
  }
  EXPECT_EQ(TrendStore().FirstAtOrAfter(kStart), 0u);
}

// Set back, the trend starts afresh and numbers its samples past every one it had; set forward,
// it keeps what is recent enough and the jump is a gap. Another meter's block starts afresh too.
TEST(TrendStore, ClockSetBackOrAnotherMeterStartsAfresh) {
  TrendStore store;
  for (int t = 100; t < 110; ++t) store.Append(BlockAt(t));
  EXPECT_EQ(store.FirstSerial(), 0u);
  store.Append(BlockAt(109));  // the same time again is not earlier
  EXPECT_EQ(store.restarts(), 0u);
  store.Append(BlockAt(50));
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(VoltsAt(store, 0), 50);
  EXPECT_EQ(store.restarts(), 1u);
  EXPECT_EQ(store.FirstSerial(), 11u);

  MeasuredBlock forward = BlockAt(50 + 30 * 60);
  forward.pollPeriodMs = 500;
  store.Append(forward);
  EXPECT_EQ(store.size(), 2u);
  EXPECT_EQ(store.restarts(), 1u);
  EXPECT_EQ(store.At(1).run, store.At(0).run + 1);
  forward = BlockAt(50 + 75 * 60);  // more than 70 minutes on: the sample at 50 s goes
  store.Append(forward);
  EXPECT_EQ(store.size(), 2u);
  EXPECT_EQ(store.FirstSerial(), 12u);

  forward.slaveAddress = 2;  // the main dialog was given another meter: its line starts anew
  forward.time += seconds(1);
  store.Append(forward);
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(store.restarts(), 2u);
}

// Blocks come every second poll period (the block alternates with the power multiplier), a
// missed reply adds one period, a missed block two. A block more than three and a half periods
// after the one before starts a new run; the usual cadence with a late timer, or a single reply
// missed, does not. Without a period, none does.
TEST(TrendStore, AGapOfMoreThanThreeAndAHalfPollPeriodsStartsANewRun) {
  struct Case {
    uint32_t periodMs;
    int afterMs;
    bool gap;
  };
  const Case cases[] = {
      {500, 999, false},   {500, 1000, false},  {500, 1001, false},  {500, 1500, false},
      {500, 1750, false},  {500, 1751, true},   {500, 2000, true},   {500, 16000, true},
      {2000, 3999, false}, {2000, 4000, false}, {2000, 4001, false}, {2000, 7000, false},
      {2000, 7001, true},  {1500, 3001, false}, {1500, 5250, false}, {1500, 5251, true},
      {0, 16000, false},   {1000, 1000, false}, {1000, 2001, false}, {1000, 3501, true},
  };
  for (const Case& c : cases) {
    TrendStore store;
    MeasuredBlock b = BlockAt(0);
    b.pollPeriodMs = c.periodMs;
    store.Append(b);
    b.time += std::chrono::milliseconds(c.afterMs);
    store.Append(b);
    b.time += std::chrono::milliseconds(c.periodMs);
    store.Append(b);
    ASSERT_EQ(store.size(), 3u);
    EXPECT_EQ(store.At(1).run - store.At(0).run, c.gap ? 1u : 0u) << c.periodMs << " " << c.afterMs;
    EXPECT_EQ(store.At(2).run, store.At(1).run) << c.periodMs << " " << c.afterMs;
  }
}

TEST(TrendStore, UnitFollowsTheLargestMagnitudeOfTheGroup) {
  struct Case {
    UnitGroup group;
    double largest;
    const char* unit;
    double divisor;
  };
  const Case cases[] = {
      {UnitGroup::Voltage, 999.9, "V", 1},          {UnitGroup::Voltage, 1000, "KV", 1e3},
      {UnitGroup::Voltage, 10500, "KV", 1e3},       {UnitGroup::ActivePower, 999999, "KW", 1e3},
      {UnitGroup::ActivePower, 1000, "KW", 1e3},    {UnitGroup::ActivePower, 1e6, "MW", 1e6},
      {UnitGroup::ActivePower, 999, "W", 1},        {UnitGroup::ActivePower, -2500, "KW", 1e3},
      {UnitGroup::ActivePower, 2.5e6, "MW", 1e6},   {UnitGroup::ReactivePower, 4e3, "KVar", 1e3},
      {UnitGroup::ReactivePower, 3e7, "MVar", 1e6}, {UnitGroup::ApparentPower, 12, "VA", 1},
      {UnitGroup::ApparentPower, 1e6, "MVA", 1e6},  {UnitGroup::Current, 5000, "A", 1},
      {UnitGroup::Frequency, 50, "Hz", 1},          {UnitGroup::PowerFactor, 0.95, "", 1},
  };
  for (const Case& c : cases) {
    const UnitChoice u = ChooseUnit(c.group, c.largest);
    EXPECT_STREQ(u.unit, c.unit) << c.largest;
    EXPECT_EQ(u.divisor, c.divisor) << c.largest;
  }
}

}  // namespace
