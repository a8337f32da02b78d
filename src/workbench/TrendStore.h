// The recent measurement blocks for the trend chart, in a ring that never reallocates.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "values/MeasuredBlock.h"

namespace kt::workbench {

// The quantities the trend chart offers.
enum class TrendSeries : uint8_t {
  PhaseVoltageA,
  PhaseVoltageB,
  PhaseVoltageC,
  LineVoltageAB,
  LineVoltageBC,
  LineVoltageCA,
  CurrentA,
  CurrentB,
  CurrentC,
  TotalActivePower,
  TotalReactivePower,
  TotalApparentPower,
  PowerFactorA,
  PowerFactorB,
  PowerFactorC,
  TotalPowerFactor,
  Frequency,
};
inline constexpr std::size_t kTrendSeriesCount = 17;

// Series that share an axis share a unit group: the kinds up to Frequency (energies have no
// trend).
using UnitGroup = values::QuantityKind;
inline constexpr std::size_t kUnitGroupCount = static_cast<std::size_t>(UnitGroup::Frequency) + 1;

UnitGroup GroupOf(TrendSeries series);
const char* SeriesName(TrendSeries series);  // the chart's Chinese label

// How to show a group's values: divide by `divisor` and append `unit` ("" for power factors).
struct UnitChoice {
  const char* unit;
  double divisor;
};
UnitChoice ChooseUnit(UnitGroup group, double largestMagnitude);

struct TrendSample {
  std::chrono::system_clock::time_point time;
  std::array<double, kTrendSeriesCount> values;  // base units, by TrendSeries
  // The stretch of uninterrupted polling the sample belongs to: a gap of more than three and a
  // half poll periods before a sample starts the next one, so the chart's line breaks there.
  uint32_t run = 0;

  double operator[](TrendSeries s) const { return values[static_cast<std::size_t>(s)]; }
};

class TrendStore {
 public:
  // The longest span the chart shows (an hour) and one label step (ten minutes) more, so that
  // the chart's axis never reaches past the oldest sample kept.
  static constexpr std::chrono::minutes kKept{70};
  // Two blocks a second at the fastest poll period for that long, with room for a poll timer
  // that fires early.
  static constexpr std::size_t kDefaultCapacity = 10500;
  // The cycle reads the block every second poll period (it alternates with the power multiplier),
  // and a reply missed once delays the next block by one period. A block more than this many
  // half poll periods (3.5) after the one before it starts a new run: the timer's jitter and a
  // single missed reply never break the line, a whole block missed always does.
  static constexpr int kGapHalfPollPeriods = 7;

  explicit TrendStore(std::size_t capacity = kDefaultCapacity);

  // Keeps the block's trend quantities. Samples more than kKept older than it are dropped; when
  // the ring is full the oldest goes. A block of another slave address than the newest sample's,
  // or stamped earlier than it (the wall clock was set back), starts the trend afresh. A block more
  // than three and a half of its poll periods after the newest sample starts a new run (a block
  // without a poll period never does).
  void Append(const values::MeasuredBlock& block);

  std::size_t size() const { return count_; }
  std::size_t capacity() const { return ring_.size(); }
  // Drops every sample; the next one starts the trend afresh.
  void Clear();

  // Samples are numbered in the order they were appended, and a number is never given twice: a
  // summary of the samples can tell by the oldest sample's number whether any it used were
  // dropped since. `restarts()` counts the times the trend started afresh.
  uint64_t FirstSerial() const { return firstSerial_; }
  uint64_t restarts() const { return restarts_; }

  // The samples in time order without copying them: the i-th from the oldest, and the index of
  // the first sample stamped at or after `t` (size() when there is none).
  const TrendSample& At(std::size_t fromOldest) const {
    return ring_[(oldest_ + fromOldest) % ring_.size()];
  }
  std::size_t FirstAtOrAfter(std::chrono::system_clock::time_point t) const {
    return FirstNotBefore([t](const TrendSample& s) { return s.time < t; });
  }
  // The index of the first sample for which `before` is false, where `before` holds for every
  // sample up to some point and for none after it (size() when it holds for all).
  template <typename Before>
  std::size_t FirstNotBefore(Before before) const {
    std::size_t low = 0;
    std::size_t high = count_;
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if (before(At(mid))) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    return low;
  }

 private:
  void DropOldest();

  std::vector<TrendSample> ring_;
  std::size_t oldest_ = 0;
  std::size_t count_ = 0;
  uint64_t firstSerial_ = 0;
  uint64_t restarts_ = 0;
  uint8_t address_ = 0;  // the slave address of the newest sample
};

}  // namespace kt::workbench
