// The trend's state, its zoom and the rule that holds a value axis still.
#include "workbench/TrendModel.h"

#include <algorithm>
#include <cmath>

namespace kt::workbench {
namespace {

using std::chrono::milliseconds;

double Ms(TrendClock::time_point t) {
  return static_cast<double>(
      std::chrono::duration_cast<milliseconds>(t.time_since_epoch()).count());
}

TrendClock::time_point FromMs(double ms) {
  return TrendClock::time_point(milliseconds(std::llround(ms)));
}

}  // namespace

std::string GroupAxisTitle(UnitGroup group, const UnitChoice& unit) {
  const std::string title = kUnitGroupTitles[static_cast<std::size_t>(group)];
  return *unit.unit != '\0' ? title + " (" + unit.unit + ")" : title;
}

TrendModel::TrendModel() {
  for (const TrendSeries s : kShownAtStart) shown_[static_cast<std::size_t>(s)] = true;
  for (std::size_t g = 0; g < kUnitGroupCount; ++g) {
    axes_[g].unit = ChooseUnit(static_cast<UnitGroup>(g), 0);
  }
}

void TrendModel::SetShown(TrendSeries series, bool shown) {
  shown_[static_cast<std::size_t>(series)] = shown;
  stale_ = true;
}

void TrendModel::SetSpan(std::chrono::minutes span) {
  span_ = span;
  ForgetZoom();
  stale_ = true;
}

TrendAxis TrendModel::CurrentAxis(std::size_t plotWidthPx) const {
  const std::size_t columns = TrendColumnCount(plotWidthPx, shown_.count());
  if (zoom_) return WindowAxis(zoom_->from, zoom_->to, columns);
  return AxisFor(store_.At(store_.size() - 1).time, span_, columns);
}

TrendModel::Refreshed TrendModel::Refresh(std::size_t plotWidthPx) {
  if (store_.restarts() != restartsSeen_) {
    // The clock was set back: a zoomed stretch belongs to times the trend no longer has.
    restartsSeen_ = store_.restarts();
    ForgetZoom();
    stale_ = true;
  }
  Refreshed refreshed;
  if (store_.size() == 0) {
    stale_ = false;
    refreshed.changed = shown_;
    return refreshed;
  }
  const auto [changed, rebuilt] =
      columns_.Refresh(store_, CurrentAxis(plotWidthPx), shown_, stale_);
  stale_ = false;
  refreshed.changed = changed;
  refreshed.rebuilt = rebuilt;
  refreshed.axesMoved = FitAxes();
  for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
    const auto group = static_cast<std::size_t>(GroupOf(static_cast<TrendSeries>(s)));
    if (shown_[s] && refreshed.axesMoved[group]) refreshed.changed[s] = true;
  }
  return refreshed;
}

GroupSet TrendModel::FitAxes() {
  // Each group's range over its shown series only, so the axis fits what is drawn.
  auto [used, low, high] = columns_.ShownExtremes();
  GroupSet moved;
  for (std::size_t g = 0; g < kUnitGroupCount; ++g) {
    GroupAxis& axis = axes_[g];
    if (!used[g]) {
      moved[g] = axis.used;
      axis.used = false;
      continue;
    }
    if (fixedRanges_[g]) {
      // Zoomed with a box or panned: the axis stays where the user put it.
      low[g] = fixedRanges_[g]->low;
      high[g] = fixedRanges_[g]->high;
    }
    const UnitChoice unit =
        ChooseUnit(static_cast<UnitGroup>(g), std::max(std::abs(low[g]), std::abs(high[g])));
    const double dataLow = low[g] / unit.divisor;
    const double dataHigh = high[g] / unit.divisor;
    const ValueBounds padded = PaddedBounds(dataLow, dataHigh);
    // An axis that still holds the data and is not much wider than it stays as it is: the scale
    // does not twitch with every block.
    const bool holds =
        !fixedRanges_[g] && axis.used && unit.divisor == axis.unit.divisor &&
        dataLow >= axis.range.low && dataHigh <= axis.range.high &&
        padded.high - padded.low >= kLeastAxisFill * (axis.range.high - axis.range.low);
    if (holds) continue;
    GroupAxis fitted;
    fitted.used = true;
    fitted.unit = unit;
    fitted.range = fixedRanges_[g] ? NiceRange{dataLow, dataHigh, kFixedAxisSteps + 1}
                                   : MakeNice(padded.low, padded.high);
    fitted.decimals = LabelDecimals(padded.high - padded.low);
    const bool same = axis.used && axis.unit.divisor == unit.divisor &&
                      axis.range.low == fitted.range.low && axis.range.high == fitted.range.high &&
                      axis.range.ticks == fitted.range.ticks && axis.decimals == fitted.decimals;
    axis = fitted;
    moved[g] = !same;
  }
  return moved;
}

double TrendModel::TimeAt(const PlotBox& plot, double x) const {
  const TrendAxis& axis = columns_.axis();
  const double from = Ms(axis.from);
  const double share = plot.width > 0 ? (x - plot.left) / plot.width : 1.0;
  return from + share * (Ms(axis.to) - from);
}

void TrendModel::ZoomTime(double factor, double centreMs) {
  if (store_.size() == 0 || !(factor > 0)) return;
  const TrendAxis& axis = columns_.axis();
  const double from = Ms(axis.from);
  const double to = Ms(axis.to);
  if (!(to > from)) return;
  const double centre = std::clamp(centreMs, from, to);
  const double share = (centre - from) / (to - from);
  const double width = (to - from) * factor;
  ZoomTo(centre - share * width, centre + (1 - share) * width);
}

void TrendModel::ZoomTo(double fromMs, double toMs) {
  const double least = std::chrono::duration<double, std::milli>(kNarrowestZoom).count();
  const double most = std::chrono::duration<double, std::milli>(kWidestZoom).count();
  const double width = std::clamp(toMs - fromMs, least, most);
  const double centre = (fromMs + toMs) / 2;
  zoom_ = Stretch{FromMs(centre - width / 2), FromMs(centre + width / 2)};
  stale_ = true;
}

void TrendModel::ZoomToBox(const PlotBox& plot, const PlotBox& box) {
  const double left = std::max(plot.left, std::min(box.left, box.left + box.width));
  const double right = std::min(plot.left + plot.width, std::max(box.left, box.left + box.width));
  const double top = std::max(plot.top, std::min(box.top, box.top + box.height));
  const double bottom = std::min(plot.top + plot.height, std::max(box.top, box.top + box.height));
  if (store_.size() == 0 || right - left < kLeastBoxWidth || plot.width <= 0 || plot.height <= 0) {
    return;
  }
  const TrendAxis& axis = columns_.axis();
  const double from = Ms(axis.from);
  const double msPerPixel = (Ms(axis.to) - from) / plot.width;
  if (bottom - top >= kLeastBoxHeight) {
    for (std::size_t g = 0; g < kUnitGroupCount; ++g) {
      const GroupAxis& values = axes_[g];
      if (!values.used) continue;
      const double perPixel = (values.range.high - values.range.low) / plot.height;
      const double divisor = values.unit.divisor;
      fixedRanges_[g] = ValueRange{(values.range.high - (bottom - plot.top) * perPixel) * divisor,
                                   (values.range.high - (top - plot.top) * perPixel) * divisor};
    }
  }
  ZoomTo(from + (left - plot.left) * msPerPixel, from + (right - plot.left) * msPerPixel);
}

void TrendModel::PanBy(const PlotBox& plot, double dx, double dy) {
  if (store_.size() == 0 || plot.width <= 0 || plot.height <= 0) return;
  const TrendAxis& axis = columns_.axis();
  const double from = Ms(axis.from);
  const double to = Ms(axis.to);
  // The content follows the mouse: dragged to the right, earlier times come into view.
  const double shiftMs = -dx * (to - from) / plot.width;
  if (dy != 0) {
    for (std::size_t g = 0; g < kUnitGroupCount; ++g) {
      const GroupAxis& values = axes_[g];
      if (!values.used) continue;
      const double divisor = values.unit.divisor;
      const double shift = dy * (values.range.high - values.range.low) / plot.height * divisor;
      fixedRanges_[g] =
          ValueRange{values.range.low * divisor + shift, values.range.high * divisor + shift};
    }
  }
  zoom_ = Stretch{FromMs(from + shiftMs), FromMs(to + shiftMs)};
  stale_ = true;
}

void TrendModel::ForgetZoom() {
  zoom_.reset();
  fixedRanges_.fill(std::nullopt);
  // Every axis is fitted afresh to the data.
  for (GroupAxis& axis : axes_) axis.used = false;
}

void TrendModel::ResetZoom() {
  ForgetZoom();
  stale_ = true;
}

}  // namespace kt::workbench
