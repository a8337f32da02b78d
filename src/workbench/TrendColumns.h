// The trend chart's points, thinned so that drawing costs about the same whatever the span. The
// time axis is cut into columns fixed to the axis, and each column keeps its lowest and its
// highest sample, so short peaks survive. The axis moves on in whole tick steps; between steps a
// new block changes only the newest column, and only the series whose points changed need
// drawing again. Each point carries the run of its sample, and the line breaks between points
// of different runs, so a gap in the polling is never drawn as data.
#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "workbench/TrendStore.h"

namespace kt::workbench {

using TrendClock = std::chrono::system_clock;
using SeriesSet = std::bitset<kTrendSeriesCount>;

// The stretch of time the chart's axis covers, cut into columns.
struct TrendAxis {
  TrendClock::time_point from{};
  TrendClock::time_point to{};
  std::chrono::milliseconds tick{};  // between labels; `from` and `to` lie on whole ticks
  std::size_t columns = 0;

  int TickCount() const { return static_cast<int>((to - from) / tick) + 1; }
  bool operator==(const TrendAxis&) const = default;
};

// The label step for a span: the smallest round step that gives at most six of them.
std::chrono::milliseconds TickFor(std::chrono::milliseconds span);

// The axis that shows the whole `span` up to `newest`: it ends at the first whole tick at or
// after `newest` and is one tick longer than the span, so it moves only once per tick.
TrendAxis AxisFor(TrendClock::time_point newest, std::chrono::minutes span, std::size_t columns);

// The axis of a stretch the user zoomed to: exactly `from` to `to`, with six label steps.
TrendAxis WindowAxis(TrendClock::time_point from, TrendClock::time_point to, std::size_t columns);

struct TrendPoint {
  double ms;     // since the epoch
  double value;  // base units
  uint32_t run;  // the run of the sample (TrendSample::run): no line joins points of two runs

  bool operator==(const TrendPoint&) const = default;
};

// The lowest and the highest value (base units) of each unit group's shown series; `used` is false
// for a group none of whose shown series has a point.
struct GroupExtremes {
  std::array<bool, kUnitGroupCount> used{};
  std::array<double, kUnitGroupCount> low{};
  std::array<double, kUnitGroupCount> high{};
};

class TrendColumns {
 public:
  // Every shown series' points anew, from the samples of `store` from `axis.from` to `axis.to`.
  void Rebuild(const TrendStore& store, const TrendAxis& axis, SeriesSet shown);
  // After blocks were added to the store: recomputes the columns from the newest one on (blocks
  // after the axis's end stay out) and returns the series whose points changed. When the store
  // dropped a sample the columns used (it started afresh, or the ring was full) every column is
  // built anew and every shown series counts as changed.
  SeriesSet Update(const TrendStore& store);
  // Rebuild when `stale` or when the axis or the shown series are not those of the last build,
  // else Update. `changed`: every shown series after a rebuild, else those whose points changed.
  struct Refreshed {
    SeriesSet changed;
    bool rebuilt;
  };
  Refreshed Refresh(const TrendStore& store, const TrendAxis& axis, SeriesSet shown, bool stale);

  const TrendAxis& axis() const { return axis_; }
  SeriesSet shown() const { return shown_; }
  const std::vector<TrendPoint>& Points(TrendSeries s) const {
    return points_[static_cast<std::size_t>(s)];
  }
  // The columns keep every extreme, so their points give the range of the samples.
  GroupExtremes ShownExtremes() const;

 private:
  long long ColumnOf(TrendClock::time_point t) const;
  std::size_t FirstInColumn(const TrendStore& store, long long column) const;
  // Appends the extremes of every column from sample `first` to the last one on the axis.
  void AppendColumnsFrom(const TrendStore& store, std::size_t first);

  TrendAxis axis_;
  double columnMs_ = 1;
  SeriesSet shown_;
  std::array<std::vector<TrendPoint>, kTrendSeriesCount> points_;
  std::array<std::size_t, kTrendSeriesCount> tailStart_{};  // where the newest column begins
  long long tailColumn_ = 0;
  bool hasTail_ = false;
  uint64_t firstUsedSerial_ = 0;  // the store's number of the oldest sample in a column
};

}  // namespace kt::workbench
