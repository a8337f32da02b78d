// The trend ring, the window query and the unit choice per group.
#include "workbench/TrendStore.h"

#include <algorithm>
#include <cmath>

namespace kt::workbench {
namespace {

using values::Quantity;

struct SeriesInfo {
  Quantity source;
  UnitGroup group;
  const char* name;
};

constexpr std::array<SeriesInfo, kTrendSeriesCount> kSeries = {{
    {Quantity::PhaseVoltageA, UnitGroup::Voltage, "A相电压"},
    {Quantity::PhaseVoltageB, UnitGroup::Voltage, "B相电压"},
    {Quantity::PhaseVoltageC, UnitGroup::Voltage, "C相电压"},
    {Quantity::LineVoltageAB, UnitGroup::Voltage, "AB线电压"},
    {Quantity::LineVoltageBC, UnitGroup::Voltage, "BC线电压"},
    {Quantity::LineVoltageCA, UnitGroup::Voltage, "CA线电压"},
    {Quantity::CurrentA, UnitGroup::Current, "A相电流"},
    {Quantity::CurrentB, UnitGroup::Current, "B相电流"},
    {Quantity::CurrentC, UnitGroup::Current, "C相电流"},
    {Quantity::TotalActivePower, UnitGroup::ActivePower, "总有功功率"},
    {Quantity::TotalReactivePower, UnitGroup::ReactivePower, "总无功功率"},
    {Quantity::TotalApparentPower, UnitGroup::ApparentPower, "总视在功率"},
    {Quantity::PowerFactorA, UnitGroup::PowerFactor, "A相功率因数"},
    {Quantity::PowerFactorB, UnitGroup::PowerFactor, "B相功率因数"},
    {Quantity::PowerFactorC, UnitGroup::PowerFactor, "C相功率因数"},
    {Quantity::TotalPowerFactor, UnitGroup::PowerFactor, "总功率因数"},
    {Quantity::Frequency, UnitGroup::Frequency, "频率"},
}};

const SeriesInfo& Info(TrendSeries s) {
  return kSeries[static_cast<std::size_t>(s)];
}

// Prefix steps of the power units: base, kilo, mega.
UnitChoice Scaled(double largest, const char* base, const char* kilo, const char* mega) {
  if (largest >= 1e6) return {mega, 1e6};
  if (largest >= 1e3) return {kilo, 1e3};
  return {base, 1.0};
}

}  // namespace

UnitGroup GroupOf(TrendSeries series) {
  return Info(series).group;
}
const char* SeriesName(TrendSeries series) {
  return Info(series).name;
}

UnitChoice ChooseUnit(UnitGroup group, double largestMagnitude) {
  const double m = std::abs(largestMagnitude);
  switch (group) {
    case UnitGroup::Voltage:
      return m >= 1e3 ? UnitChoice{"KV", 1e3} : UnitChoice{"V", 1.0};
    case UnitGroup::Current:
      return {"A", 1.0};
    case UnitGroup::ActivePower:
      return Scaled(m, "W", "KW", "MW");
    case UnitGroup::ReactivePower:
      return Scaled(m, "Var", "KVar", "MVar");
    case UnitGroup::ApparentPower:
      return Scaled(m, "VA", "KVA", "MVA");
    case UnitGroup::PowerFactor:
      return {"", 1.0};
    case UnitGroup::Frequency:
      return {"Hz", 1.0};
    case UnitGroup::ActiveEnergy:
    case UnitGroup::ReactiveEnergy:
      break;  // not on the chart
  }
  return {"", 1.0};
}

TrendStore::TrendStore(std::size_t capacity) : ring_(std::max<std::size_t>(capacity, 1)) {}

void TrendStore::Clear() {
  firstSerial_ += count_;
  count_ = 0;
  ++restarts_;
}

void TrendStore::DropOldest() {
  oldest_ = (oldest_ + 1) % ring_.size();
  --count_;
  ++firstSerial_;
}

void TrendStore::Append(const values::MeasuredBlock& block) {
  // Another meter's values (the main dialog was given another address) or a clock set back
  // would join lines that do not belong together.
  if (count_ > 0 && (block.slaveAddress != address_ || block.time < At(count_ - 1).time)) Clear();
  address_ = block.slaveAddress;
  uint32_t run = 0;
  if (count_ > 0) {
    const TrendSample& newest = At(count_ - 1);
    const std::chrono::milliseconds period(block.pollPeriodMs);
    const bool gap =
        period.count() > 0 && 2 * (block.time - newest.time) > kGapHalfPollPeriods * period;
    run = newest.run + (gap ? 1 : 0);
  }
  while (count_ > 0 && At(0).time < block.time - kKept) DropOldest();
  if (count_ == ring_.size()) DropOldest();
  TrendSample& slot = ring_[(oldest_ + count_) % ring_.size()];
  slot.time = block.time;
  slot.run = run;
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) slot.values[s] = block[kSeries[s].source];
  ++count_;
}

}  // namespace kt::workbench
