// Cutting the trend axis into columns and keeping each column's extremes.
#include "workbench/TrendColumns.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "workbench/RoundTimeSteps.h"

namespace kt::workbench {
namespace {

using std::chrono::milliseconds;
using std::chrono::minutes;

constexpr int kMostTicksPerSpan = 6;

double MsSinceEpoch(TrendClock::time_point t) {
  return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count();
}

}  // namespace

milliseconds TickFor(milliseconds span) {
  for (milliseconds tick : kRoundTimeSteps) {
    if (tick * kMostTicksPerSpan >= span) return tick;
  }
  return span / kMostTicksPerSpan;
}

TrendAxis AxisFor(TrendClock::time_point newest, minutes span, std::size_t columns) {
  const milliseconds tick = TickFor(span);
  const auto sinceEpoch = std::chrono::ceil<milliseconds>(newest.time_since_epoch());
  const auto ticks = (sinceEpoch.count() + tick.count() - 1) / tick.count();
  TrendAxis axis;
  axis.to = TrendClock::time_point(ticks * tick);
  axis.from = axis.to - span - tick;
  axis.tick = tick;
  axis.columns = std::max<std::size_t>(columns, 1);
  return axis;
}

TrendAxis WindowAxis(TrendClock::time_point from, TrendClock::time_point to, std::size_t columns) {
  TrendAxis axis;
  axis.from = from;
  axis.to = std::max(to, from + milliseconds(kMostTicksPerSpan));
  axis.tick = std::chrono::duration_cast<milliseconds>(axis.to - axis.from) / kMostTicksPerSpan;
  axis.to = axis.from + kMostTicksPerSpan * axis.tick;
  axis.columns = std::max<std::size_t>(columns, 1);
  return axis;
}

long long TrendColumns::ColumnOf(TrendClock::time_point t) const {
  const double ms = std::chrono::duration<double, std::milli>(t - axis_.from).count();
  // A sample on the axis's end belongs to the last column.
  const auto last = static_cast<long long>(axis_.columns) - 1;
  return std::min(static_cast<long long>(std::floor(ms / columnMs_)), last);
}

std::size_t TrendColumns::FirstInColumn(const TrendStore& store, long long column) const {
  return store.FirstNotBefore(
      [&](const TrendSample& sample) { return ColumnOf(sample.time) < column; });
}

void TrendColumns::Rebuild(const TrendStore& store, const TrendAxis& axis, SeriesSet shown) {
  axis_ = axis;
  shown_ = shown;
  columnMs_ = std::chrono::duration<double, std::milli>(axis.to - axis.from).count() /
              static_cast<double>(axis.columns);
  for (auto& points : points_) points.clear();
  tailStart_.fill(0);
  hasTail_ = false;
  AppendColumnsFrom(store, store.FirstAtOrAfter(axis.from));
}

SeriesSet TrendColumns::Update(const TrendStore& store) {
  if (hasTail_ && store.FirstSerial() > firstUsedSerial_) {
    Rebuild(store, axis_, shown_);
    return shown_;
  }
  const std::size_t first =
      hasTail_ ? FirstInColumn(store, tailColumn_) : store.FirstAtOrAfter(axis_.from);
  const std::array<std::size_t, kTrendSeriesCount> oldStart = tailStart_;
  std::array<std::vector<TrendPoint>, kTrendSeriesCount> oldTail;
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
    if (!shown_[s]) continue;
    const auto start = points_[s].begin() + static_cast<std::ptrdiff_t>(oldStart[s]);
    oldTail[s].assign(start, points_[s].end());
    points_[s].erase(start, points_[s].end());
  }
  AppendColumnsFrom(store, first);

  SeriesSet changed;
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
    if (!shown_[s]) continue;
    const auto start = points_[s].begin() + static_cast<std::ptrdiff_t>(oldStart[s]);
    changed[s] = !std::equal(start, points_[s].end(), oldTail[s].begin(), oldTail[s].end());
  }
  return changed;
}

void TrendColumns::AppendColumnsFrom(const TrendStore& store, std::size_t first) {
  const std::size_t end =
      store.FirstNotBefore([&](const TrendSample& sample) { return sample.time <= axis_.to; });
  if (!hasTail_ && first < end) firstUsedSerial_ = store.FirstSerial() + first;
  std::size_t i = first;
  while (i < end) {
    const long long column = ColumnOf(store.At(i).time);
    std::size_t next = i + 1;
    while (next < end && ColumnOf(store.At(next).time) == column) ++next;
    for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
      if (!shown_[s]) continue;
      std::size_t lowAt = i;
      std::size_t highAt = i;
      for (std::size_t k = i + 1; k < next; ++k) {
        const double v = store.At(k).values[s];
        if (v < store.At(lowAt).values[s]) lowAt = k;
        if (v > store.At(highAt).values[s]) highAt = k;
      }
      tailStart_[s] = points_[s].size();
      for (std::size_t at : {std::min(lowAt, highAt), std::max(lowAt, highAt)}) {
        const TrendSample& sample = store.At(at);
        points_[s].push_back({MsSinceEpoch(sample.time), sample.values[s], sample.run});
        if (lowAt == highAt) break;
      }
    }
    tailColumn_ = column;
    hasTail_ = true;
    i = next;
  }
}

TrendColumns::Refreshed TrendColumns::Refresh(const TrendStore& store, const TrendAxis& axis,
                                              SeriesSet shown, bool stale) {
  if (stale || !(axis == axis_) || shown != shown_) {
    Rebuild(store, axis, shown);
    return {shown, true};
  }
  return {Update(store), false};
}

GroupExtremes TrendColumns::ShownExtremes() const {
  GroupExtremes extremes;
  extremes.low.fill(std::numeric_limits<double>::max());
  extremes.high.fill(std::numeric_limits<double>::lowest());
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
    if (!shown_[s]) continue;
    const auto g = static_cast<std::size_t>(GroupOf(static_cast<TrendSeries>(s)));
    for (const TrendPoint& p : points_[s]) {
      extremes.used[g] = true;
      extremes.low[g] = std::min(extremes.low[g], p.value);
      extremes.high[g] = std::max(extremes.high[g], p.value);
    }
  }
  return extremes;
}

}  // namespace kt::workbench
