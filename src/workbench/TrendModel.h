// The tab "趋势" without its widgets: the trend store, the columns drawn, the ticked series, the
// span, "暂停", the zoom and pan, each unit group's value axis with the rule that holds it still,
// and the title of an exported picture. A front end draws what Refresh leaves here.
#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "values/MeasuredBlock.h"
#include "workbench/TrendChoices.h"
#include "workbench/TrendColumns.h"
#include "workbench/TrendStore.h"

namespace kt::workbench {

using GroupSet = std::bitset<kUnitGroupCount>;

// A group's value axis as drawn: its unit, its range in that unit on round steps, and the
// decimals of its labels.
struct GroupAxis {
  bool used = false;  // some shown series of the group has a point
  UnitChoice unit{"", 1};
  NiceRange range{0, 1, 2};
  int decimals = 0;
};
// "电压 (V)": the axis's title.
std::string GroupAxisTitle(UnitGroup group, const UnitChoice& unit);

// A rectangle in a front end's pixels (the plot, or a box dragged over it).
struct PlotBox {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

class TrendModel {
 public:
  // The narrowest and the widest stretch the time axis can be zoomed to.
  static constexpr std::chrono::seconds kNarrowestZoom{10};
  static constexpr std::chrono::minutes kWidestZoom = TrendStore::kKept;
  // A box this high or higher fixes the value axes as well as the time axis.
  static constexpr double kLeastBoxHeight = 8;
  // Value axes fixed by a box or a pan show this many steps.
  static constexpr int kFixedAxisSteps = 5;
  // A box narrower than this (pixels) is a click, not a zoom.
  static constexpr double kLeastBoxWidth = 4;
  // One notch of the mouse wheel turned away from the user narrows the time axis to this share.
  static constexpr double kZoomPerNotch = 0.8;
  static double WheelZoomFactor(double notches) { return std::pow(kZoomPerNotch, notches); }

  TrendModel();

  // Keeps the block; the chart catches up at the next Refresh.
  void AddBlock(const values::MeasuredBlock& block) { store_.Append(block); }

  // The check boxes, the span list and "暂停". A span chosen follows the newest block again.
  void SetShown(TrendSeries series, bool shown);
  void SetSpan(std::chrono::minutes span);
  void SetPaused(bool paused) { paused_ = paused; }
  SeriesSet Shown() const { return shown_; }
  std::chrono::minutes Span() const { return span_; }
  bool Paused() const { return paused_; }

  // Zoom and pan: the time axis then stays on the stretch chosen while blocks keep arriving (a
  // box high enough, or a pan up or down, fixes the value axes too) until ResetZoom or SetSpan.
  // `factor` below 1 narrows the time axis around `centreMs` (since the epoch); `plot` is where
  // the plot is drawn, the box and the pixels dragged in the same pixels.
  void ZoomTime(double factor, double centreMs);
  // The time (ms since the epoch) at `x` on the plot's time axis.
  double TimeAt(const PlotBox& plot, double x) const;
  void ZoomToBox(const PlotBox& plot, const PlotBox& box);
  void PanBy(const PlotBox& plot, double dx, double dy);
  void ResetZoom();
  bool Zoomed() const { return zoom_.has_value(); }

  // What changed since the last Refresh: the series whose points changed (every shown series
  // when the columns were built anew or their axis moved) and the groups whose axes moved.
  struct Refreshed {
    SeriesSet changed;
    GroupSet axesMoved;
    bool rebuilt = false;
  };
  // Brings the columns and axes up to the store for a plot `plotWidthPx` wide. With an empty
  // store nothing is drawn: every series is empty.
  Refreshed Refresh(std::size_t plotWidthPx);
  // The next Refresh builds every column anew (the plot was resized, a series was ticked).
  void MarkStale() { stale_ = true; }
  // Whether a view draws the trend now: not out of sight, and while paused only for the user's own
  // zoom, pan or reset. When not, the next Refresh builds every column anew.
  bool DrawsNow(bool forUser, bool inView) {
    if (inView && (forUser || !paused_)) return true;
    MarkStale();
    return false;
  }

  const TrendStore& Store() const { return store_; }
  const TrendColumns& Columns() const { return columns_; }
  const GroupAxis& Axis(UnitGroup g) const { return axes_[static_cast<std::size_t>(g)]; }

  // The line above an exported picture: "趋势  2026-01-02 04:31:00 至 04:41:00" (the end's date
  // too when it is another day), "趋势  2026-01-02" (today) before any data.
  std::string ExportTitle(TrendClock::time_point now = TrendClock::now()) const;

 private:
  struct Stretch {
    TrendClock::time_point from, to;
  };
  struct ValueRange {
    double low, high;  // base units
  };

  TrendAxis CurrentAxis(std::size_t plotWidthPx) const;
  // Sets each group's axis to its shown series; returns the groups whose axes moved.
  GroupSet FitAxes();
  void ZoomTo(double fromMs, double toMs);
  void ForgetZoom();

  TrendStore store_;
  TrendColumns columns_;
  SeriesSet shown_;
  std::chrono::minutes span_ = kTrendSpans[kDefaultSpanIndex].span;
  bool paused_ = false;
  bool stale_ = true;
  uint64_t restartsSeen_ = 0;
  std::optional<Stretch> zoom_;
  std::array<std::optional<ValueRange>, kUnitGroupCount> fixedRanges_{};
  std::array<GroupAxis, kUnitGroupCount> axes_{};
};

}  // namespace kt::workbench
