// The trend chart drawn with GDI+ from the core's columns, and its controls.
#include "win32/workbench/TrendPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "win32/workbench/GdiPlus.h"
#include "win32/workbench/SaveDialog.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
using workbench::TrendSeries;
using workbench::UnitGroup;
// Sizes at 96 dpi (ChildPanel::Px).
constexpr int kMargin = 6;
constexpr int kButtonHeight = 24;
constexpr int kButtonPadding = 20;  // beside a button's text
constexpr int kCheckBoxRoom = 24;   // a check box's square and its gap
constexpr int kGroupIndent = 8;
constexpr int kAxisGap = 8;     // between a value axis's labels and the next axis
constexpr int kTitleBand = 28;  // the line above an exported picture
constexpr auto kLonePoint = static_cast<float>(workbench::kLonePointSize / 2);  // radius
constexpr float kPointedMark = 4.5F;

std::size_t Index(UnitGroup g) {
  return static_cast<std::size_t>(g);
}

double Ms(workbench::TrendClock::time_point t) {
  return static_cast<double>(
      std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count());
}

void Write(Gdiplus::Graphics& g, HFONT font, const std::string& text, const Gdiplus::RectF& box,
           Gdiplus::StringAlignment across, const Gdiplus::Color& colour) {
  WriteText(g, font, text, box, across, colour);
}

}  // namespace

TrendPanel::TrendPanel(workbench::TrendModel& trend, workbench::WorkbenchSettings& settings)
    : trend_(trend),
      settings_(settings),
      chart_(std::make_unique<PaintedView>([this](HDC dc, const RECT& area) { Paint(dc, area); },
                                           [this](UINT message, WPARAM wParam, LPARAM lParam) {
                                             return input_.Handle(chart_->Handle(), message, wParam,
                                                                  lParam);
                                           })) {
  const auto plot = [this] {
    const RECT r = PlotArea();
    return workbench::PlotBox{static_cast<double>(r.left), static_cast<double>(r.top),
                              static_cast<double>(r.right - r.left),
                              static_cast<double>(r.bottom - r.top)};
  };
  input_.onWheelZoom = [this, plot](double factor, double x) {
    trend_.ZoomTime(factor, trend_.TimeAt(plot(), x));
    Redraw(true);
  };
  input_.onBoxZoom = [this, plot](const workbench::PlotBox& box) {
    trend_.ZoomToBox(plot(), box);
    Redraw(true);
  };
  input_.onPan = [this, plot](double dx, double dy) {
    trend_.PanBy(plot(), dx, dy);
    Redraw(true);
  };
  input_.onReset = [this] {
    trend_.ResetZoom();
    Redraw(true);
  };
  input_.onPointer = [this](std::optional<POINT> at) { ShowValueAt(at); };
  input_.onBoxMoved = [this] { InvalidateRect(chart_->Handle(), nullptr, FALSE); };
}

workbench::TextWidth TrendPanel::Measure() const {
  return [this](const std::string& text) { return static_cast<double>(TextWidth(text)); };
}

void TrendPanel::Populate() {
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    Add(WC_BUTTONW, workbench::kUnitGroupTitles[g], BS_GROUPBOX,
        ids::kFirstGroupBox + static_cast<int>(g));
  }
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    Add(WC_BUTTONW, workbench::SeriesName(static_cast<TrendSeries>(s)),
        WS_TABSTOP | BS_AUTOCHECKBOX, ids::kFirstSeriesBox + static_cast<int>(s));
  }
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    if (trend_.Shown()[s]) {
      SendMessageW(Item(ids::kFirstSeriesBox + static_cast<int>(s)), BM_SETCHECK, BST_CHECKED, 0);
    }
  }
  Add(WC_STATICW, workbench::kTrendSpanLabel, SS_LEFT, ids::kSpanLabel);
  HWND spans = Add(WC_COMBOBOXW, "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, ids::kSpanList);
  for (const workbench::TrendSpan& s : workbench::kTrendSpans) {
    SendMessageW(spans, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(s.label).c_str()));
  }
  if (const auto shown = workbench::TrendSpanIndex(trend_.Span())) {
    SendMessageW(spans, CB_SETCURSEL, *shown, 0);
  }
  Add(WC_BUTTONW, workbench::kPauseText, WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE,
      ids::kTrendPauseButton);
  Add(WC_BUTTONW, workbench::kResetZoomText, WS_TABSTOP | BS_PUSHBUTTON, ids::kTrendResetButton);
  AddTip(ids::kTrendResetButton, workbench::kResetZoomTip);
  Add(WC_BUTTONW, workbench::kExportPictureText, WS_TABSTOP | BS_PUSHBUTTON, ids::kExportButton);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kTrendValue);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kTrendMessage);
  MarkRed(ids::kTrendMessage);
  chart_->Create(Handle(), font_);
  SetWindowLongPtrW(chart_->Handle(), GWLP_ID, ids::kTrendChart);
  ShowWindow(chart_->Handle(), SW_SHOW);
}

void TrendPanel::Layout(int width, int height) {
  PlaceControls(width, height);
  trend_.MarkStale();
  Redraw();
}

void TrendPanel::PlaceControls(int width, int height) {
  const int margin = Px(kMargin);
  const int row = LineHeight() + Px(3);
  // The ticks in one column where the page is high enough, else two to a group.
  int nameWidth = 0;
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    nameWidth = std::max(nameWidth, TextWidth(workbench::SeriesName(static_cast<TrendSeries>(s))));
  }
  const int tickWidth = nameWidth + Px(kCheckBoxRoom);
  std::array<int, workbench::kUnitGroupCount> members{};
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    ++members[Index(workbench::GroupOf(static_cast<TrendSeries>(s)))];
  }
  const auto pickerHeight = [&](int columns) {
    int total = 0;
    for (const int m : members) total += row + (m + columns - 1) / columns * row + Px(4);
    return total;
  };
  const int columns = pickerHeight(1) <= height ? 1 : 2;
  const int pickerWidth = columns * tickWidth + 2 * Px(kGroupIndent);
  int y = 0;
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    int placed = 0;
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      if (Index(workbench::GroupOf(static_cast<TrendSeries>(s))) != g) continue;
      Place(ids::kFirstSeriesBox + static_cast<int>(s),
            margin + Px(kGroupIndent) + placed % columns * tickWidth,
            y + row + placed / columns * row, tickWidth, row);
      ++placed;
    }
    const int boxHeight = row + (placed + columns - 1) / columns * row + Px(4);
    Place(ids::kFirstGroupBox + static_cast<int>(g), margin, y, pickerWidth, boxHeight);
    y += boxHeight;
  }
  const int left = margin + pickerWidth + margin;
  const int buttonHeight = Px(kButtonHeight);
  int x = left;
  const auto placeText = [&](int id, const std::string& text, int extra, int placeHeight) {
    const int w = TextWidth(text) + extra;
    Place(id, x, margin, w, placeHeight);
    x += w + margin;
  };
  Place(ids::kSpanLabel, x, margin + (buttonHeight - row) / 2 + 2,
        TextWidth(workbench::kTrendSpanLabel) + Px(4), row);
  x += TextWidth(workbench::kTrendSpanLabel) + Px(4) + margin;
  placeText(ids::kSpanList, workbench::kTrendSpans.back().label, Px(2 * kButtonPadding), 8 * row);
  placeText(ids::kTrendPauseButton, workbench::kPauseText, Px(kButtonPadding), buttonHeight);
  placeText(ids::kTrendResetButton, workbench::kResetZoomText, Px(kButtonPadding), buttonHeight);
  placeText(ids::kExportButton, workbench::kExportPictureText, Px(kButtonPadding), buttonHeight);
  const int chartTop = 2 * margin + buttonHeight;
  const int messageTop = height - margin - row;
  const int chartWidth = std::max(0, width - left - margin);
  Place(ids::kTrendChart, left, chartTop, chartWidth, std::max(0, messageTop - chartTop - margin));
  // The value under the pointer on the left of the line below, a failure's message after it.
  const int valueWidth = std::min(chartWidth, TextWidth("00:00:00  A相功率因数 -0000.000 kvar"));
  Place(ids::kTrendValue, left, messageTop, valueWidth, row);
  Place(ids::kTrendMessage, left + valueWidth + margin, messageTop,
        std::max(0, chartWidth - valueWidth - margin), row);
}

void TrendPanel::OnCommand(int id, int code) {
  if (id == ids::kSpanList && code == CBN_SELCHANGE) {
    const LRESULT index = SendMessageW(Item(ids::kSpanList), CB_GETCURSEL, 0, 0);
    if (index >= 0) SetSpan(workbench::kTrendSpans[static_cast<std::size_t>(index)].span);
    return;
  }
  if (code != BN_CLICKED) return;
  if (id == ids::kTrendPauseButton) SetPaused(Checked(ids::kTrendPauseButton));
  if (id == ids::kExportButton) ChooseExportFile();
  if (id == ids::kTrendResetButton) {
    trend_.ResetZoom();
    Redraw(true);
  }
  if (id >= ids::kFirstSeriesBox &&
      id < ids::kFirstSeriesBox + static_cast<int>(workbench::kTrendSeriesCount)) {
    trend_.SetShown(static_cast<TrendSeries>(id - ids::kFirstSeriesBox), Checked(id));
    Redraw();
  }
}

void TrendPanel::SetSeriesShown(TrendSeries series, bool shown) {
  SendMessageW(Item(ids::kFirstSeriesBox + static_cast<int>(series)), BM_SETCHECK,
               shown ? BST_CHECKED : BST_UNCHECKED, 0);
  trend_.SetShown(series, shown);
  Redraw();
}

void TrendPanel::SetSpan(std::chrono::minutes span) {
  trend_.SetSpan(span);
  if (const auto shown = workbench::TrendSpanIndex(span)) {
    SendMessageW(Item(ids::kSpanList), CB_SETCURSEL, *shown, 0);
  }
  Redraw();
}

void TrendPanel::SetPaused(bool paused) {
  trend_.SetPaused(paused);
  SendMessageW(Item(ids::kTrendPauseButton), BM_SETCHECK, paused ? BST_CHECKED : BST_UNCHECKED, 0);
  Redraw();
}

void TrendPanel::BlockAdded() {
  Redraw();
}

TrendPanel::ChartPlaces TrendPanel::Places() const {
  ChartPlaces places;
  RECT client{};
  GetClientRect(chart_->Handle(), &client);
  places.line = LineHeight();
  // Each value axis as wide as its widest label; at least half a time label beside the plot.
  std::array<int, 2> sideWidth{};  // left, right
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    const workbench::GroupAxis& axis = trend_.Axis(static_cast<UnitGroup>(g));
    if (!axis.used) continue;
    int widest = 0;
    for (int i = 0; i < axis.range.ticks; ++i) {
      widest = std::max(widest, TextWidth(workbench::ValueLabel(axis, i)));
    }
    const std::size_t side = workbench::kAxisOnLeft[g] ? 0 : 1;
    sideWidth[side] += widest + Px(kAxisGap);
  }
  const int halfTime = TextWidth(workbench::WidestTimeLabel()) / 2 + Px(4);
  const int margin = Px(kMargin);
  places.legendLeft = margin;
  places.legend = workbench::LayOutLegend(
      trend_.Shown(), static_cast<double>(client.right - 2 * margin), Measure(), Scale());
  // Above the plot a row per value axis title on the fuller side; below it the time labels, the
  // time axis's title and the legend's rows.
  // The titles' rows, and half a line for the top value label that stands across the plot's edge.
  const int top = places.line * workbench::PlaceAxisTitles(trend_).rows + places.line / 2 + Px(4);
  const int below = 2 * places.line + Px(6) + places.legend.rows * places.line + Px(4);
  places.plot = {std::max(halfTime, sideWidth[0]), top,
                 client.right - std::max(halfTime, sideWidth[1]), client.bottom - below};
  places.legendTop = places.plot.bottom + 2 * places.line + Px(6);
  return places;
}

void TrendPanel::ShowValueAt(std::optional<POINT> at) {
  const RECT plot = PlotArea();
  const workbench::PlotBox box{static_cast<double>(plot.left), static_cast<double>(plot.top),
                               static_cast<double>(plot.right - plot.left),
                               static_cast<double>(plot.bottom - plot.top)};
  std::optional<workbench::PointedValue> now;
  if (at && trend_.Store().size() > 0) {
    now = workbench::ValueAt(trend_, box, at->x, at->y, workbench::kPointerReach * Scale());
  }
  // The marks drawn at the old and the new point are painted again.
  const auto mark = [&](const std::optional<workbench::PointedValue>& p) {
    if (!p) return;
    const int reach = Px(8);
    const RECT r{static_cast<LONG>(p->x) - reach, static_cast<LONG>(p->y) - reach,
                 static_cast<LONG>(p->x) + reach, static_cast<LONG>(p->y) + reach};
    InvalidateRect(chart_->Handle(), &r, FALSE);
  };
  mark(pointed_);
  pointed_ = now;
  mark(pointed_);
  SetText(ids::kTrendValue, pointed_ ? pointed_->text : "");
}

void TrendPanel::Redraw(bool forUser) {
  if (!trend_.DrawsNow(forUser, Handle() != nullptr && IsWindowVisible(Handle()) != 0)) return;
  if (trend_.Store().size() == 0) return;
  const RECT plot = PlotArea();
  const auto plotWidth = static_cast<std::size_t>(std::max<LONG>(0, plot.right - plot.left));
  const workbench::TrendModel::Refreshed refreshed = trend_.Refresh(plotWidth);
  pointed_.reset();  // the points moved
  if (forUser || refreshed.rebuilt || refreshed.axesMoved.any() ||
      !(PlotArea().left == plot.left && PlotArea().right == plot.right)) {
    GetClientRect(chart_->Handle(), &lastRedrawn_);
    InvalidateRect(chart_->Handle(), nullptr, FALSE);
    return;
  }
  if (refreshed.changed.none()) {
    lastRedrawn_ = {};
    return;
  }
  // Only the newest column changed: from the column before it (the line into the new point
  // starts there) to the plot's right edge.
  const workbench::TrendAxis& axis = trend_.Columns().axis();
  const double from = Ms(axis.from);
  const double span = Ms(axis.to) - from;
  const double newest = Ms(trend_.Store().At(trend_.Store().size() - 1).time);
  const double columnPx =
      static_cast<double>(plotWidth) / static_cast<double>(std::max<std::size_t>(axis.columns, 1));
  const double newestX =
      static_cast<double>(plot.left) + (newest - from) / span * static_cast<double>(plotWidth);
  const auto left = static_cast<LONG>(std::floor(newestX - 2 * columnPx)) - 2;
  lastRedrawn_ = {std::max(plot.left, left), plot.top, plot.right + 1, plot.bottom + 1};
  InvalidateRect(chart_->Handle(), &lastRedrawn_, FALSE);
}

void TrendPanel::Paint(HDC dc, const RECT& area) const {
  Gdiplus::Graphics g(dc);
  Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255));
  g.FillRectangle(&white, static_cast<INT>(area.left), static_cast<INT>(area.top),
                  static_cast<INT>(area.right - area.left),
                  static_cast<INT>(area.bottom - area.top));
  const ChartPlaces places = Places();
  const RECT& plot = places.plot;
  const auto plotLeft = static_cast<float>(plot.left);
  const auto plotTop = static_cast<float>(plot.top);
  const auto plotWidth = static_cast<float>(plot.right - plot.left);
  const auto plotHeight = static_cast<float>(plot.bottom - plot.top);
  if (plotWidth <= 0 || plotHeight <= 0) return;
  Gdiplus::Pen frame(Gdiplus::Color(0xB0, 0xB0, 0xB0), 1);
  g.DrawRectangle(&frame, plotLeft, plotTop, plotWidth, plotHeight);
  PaintLegend(g, places);

  const workbench::TrendAxis& time = trend_.Columns().axis();
  if (trend_.Store().size() == 0 || time.tick.count() <= 0) {
    Write(g, font_, workbench::kPhasorWaiting,
          Gdiplus::RectF(plotLeft, plotTop, plotWidth, plotHeight), Gdiplus::StringAlignmentCenter,
          Gdiplus::Color(0x80, 0x80, 0x80));
    return;
  }
  PaintAxes(g, places);

  // The series: a line per run, a dot for a run of one point, clipped to the plot.
  const workbench::PlotBox box{plotLeft, plotTop, plotWidth, plotHeight};
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetClip(Gdiplus::RectF(plotLeft, plotTop, plotWidth + 1, plotHeight + 1));
  const workbench::SeriesSet shown = trend_.Columns().shown();
  const auto lone = static_cast<float>(kLonePoint * Scale());
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    if (!shown[s]) continue;
    const auto series = static_cast<TrendSeries>(s);
    const workbench::GroupAxis& axis = trend_.Axis(workbench::GroupOf(series));
    if (!axis.used) continue;
    const Gdiplus::Color colour = GdiColour(workbench::SeriesColour(series));
    Gdiplus::Pen pen(colour, static_cast<float>(1.2 * Scale()));
    Gdiplus::SolidBrush dot(colour);
    std::vector<Gdiplus::PointF> run;
    const auto flush = [&] {
      if (run.size() == 1) {
        g.FillEllipse(&dot, run[0].X - lone, run[0].Y - lone, 2 * lone, 2 * lone);
      } else if (run.size() > 1) {
        g.DrawLines(&pen, run.data(), static_cast<INT>(run.size()));
      }
      run.clear();
    };
    const std::vector<workbench::TrendPoint>& points = trend_.Columns().Points(series);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (i > 0 && points[i].run != points[i - 1].run) flush();
      run.emplace_back(
          static_cast<float>(workbench::XOf(time, box, points[i].ms)),
          static_cast<float>(workbench::YOf(axis, box, points[i].value / axis.unit.divisor)));
    }
    flush();
  }
  // The point whose value is shown below the chart, and the box being dragged.
  if (pointed_) {
    const auto r = static_cast<float>(kPointedMark * Scale());
    Gdiplus::Pen ring(GdiColour(workbench::SeriesColour(pointed_->series)), 1.5F);
    g.DrawEllipse(&ring, static_cast<float>(pointed_->x) - r, static_cast<float>(pointed_->y) - r,
                  2 * r, 2 * r);
  }
  if (const std::optional<RECT> dragged = input_.Box()) {
    g.ResetClip();
    Gdiplus::Pen dashed(Gdiplus::Color(0x30, 0x60, 0xC0), 1);
    dashed.SetDashStyle(Gdiplus::DashStyleDash);
    g.DrawRectangle(&dashed, static_cast<INT>(dragged->left), static_cast<INT>(dragged->top),
                    static_cast<INT>(dragged->right - dragged->left),
                    static_cast<INT>(dragged->bottom - dragged->top));
  }
}

void TrendPanel::PaintAxes(Gdiplus::Graphics& g, const ChartPlaces& places) const {
  const Gdiplus::Color ink(0x40, 0x40, 0x40);
  Gdiplus::Pen frame(Gdiplus::Color(0xB0, 0xB0, 0xB0), 1);
  Gdiplus::Pen grid(Gdiplus::Color(0xE4, 0xE4, 0xE4), 1);
  const RECT& plot = places.plot;
  const workbench::PlotBox box{static_cast<double>(plot.left), static_cast<double>(plot.top),
                               static_cast<double>(plot.right - plot.left),
                               static_cast<double>(plot.bottom - plot.top)};
  const auto line = static_cast<float>(places.line);
  const auto bottom = static_cast<float>(plot.bottom);
  // The time axis: the labels the model chose for the width, a grid line at each.
  const workbench::TrendAxis& time = trend_.Columns().axis();
  const workbench::TimeLabels labels =
      workbench::ChooseTimeLabels(time, box.width, Measure(), Scale());
  for (const double ms : labels.at) {
    const auto x = static_cast<float>(workbench::XOf(time, box, ms));
    g.DrawLine(&grid, x, static_cast<float>(plot.top), x, bottom);
    Write(g, font_, workbench::TimeLabel(ms, labels.seconds),
          Gdiplus::RectF(x - 3 * line, bottom + 2, 6 * line, line), Gdiplus::StringAlignmentCenter,
          ink);
  }
  Write(g, font_, workbench::kTimeAxisTitle,
        Gdiplus::RectF(static_cast<float>(plot.left), bottom + line + 4,
                       static_cast<float>(box.width), line),
        Gdiplus::StringAlignmentCenter, ink);

  // One value axis per shown group, each as wide as its labels; the first one's grid lines
  // across the plot; the titles in rows above the plot, from the chart's sides inwards.
  RECT client{};
  GetClientRect(chart_->Handle(), &client);
  std::array<float, 2> edge{static_cast<float>(plot.left), static_cast<float>(plot.right)};
  const workbench::AxisTitlePlaces titles = workbench::PlaceAxisTitles(trend_);
  const std::optional<UnitGroup> gridGroup = workbench::GridGroup(trend_);
  for (std::size_t gi = 0; gi < workbench::kUnitGroupCount; ++gi) {
    const workbench::GroupAxis& axis = trend_.Axis(static_cast<UnitGroup>(gi));
    if (!axis.used) continue;
    const bool onLeft = workbench::kAxisOnLeft[gi];
    const std::size_t side = onLeft ? 0 : 1;
    int widest = 0;
    for (int i = 0; i < axis.range.ticks; ++i) {
      widest = std::max(widest, TextWidth(workbench::ValueLabel(axis, i)));
    }
    const auto width = static_cast<float>(widest + Px(kAxisGap));
    const float at = edge[side];
    g.DrawLine(&frame, at, static_cast<float>(plot.top), at, bottom);
    for (int i = 0; i < axis.range.ticks; ++i) {
      const auto y = static_cast<float>(workbench::YOf(axis, box, workbench::TickValue(axis, i)));
      if (gridGroup && Index(*gridGroup) == gi)
        g.DrawLine(&grid, static_cast<float>(plot.left), y, static_cast<float>(plot.right), y);
      const float labelLeft = onLeft ? at - width : at + static_cast<float>(Px(kAxisGap)) / 2;
      Write(g, font_, workbench::ValueLabel(axis, i),
            Gdiplus::RectF(labelLeft, y - line / 2, width - static_cast<float>(Px(kAxisGap)) / 2,
                           line),
            onLeft ? Gdiplus::StringAlignmentFar : Gdiplus::StringAlignmentNear, ink);
    }
    edge[side] += onLeft ? -width : width;
    const float titleTop = static_cast<float>(Px(2)) + static_cast<float>(titles.row[gi]) * line;
    const std::string title = workbench::GroupAxisTitle(static_cast<UnitGroup>(gi), axis.unit);
    const float half = static_cast<float>(client.right) / 2;
    Write(g, font_, title,
          onLeft ? Gdiplus::RectF(static_cast<float>(Px(2)), titleTop, half, line)
                 : Gdiplus::RectF(half, titleTop, half - static_cast<float>(Px(2)), line),
          onLeft ? Gdiplus::StringAlignmentNear : Gdiplus::StringAlignmentFar, ink);
  }
}

void TrendPanel::PaintLegend(Gdiplus::Graphics& g, const ChartPlaces& places) const {
  const auto line = static_cast<float>(places.line);
  const auto scale = static_cast<float>(Scale());
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  for (const workbench::LegendEntry& e : places.legend.entries) {
    const float left = static_cast<float>(places.legendLeft) + static_cast<float>(e.x);
    const float top = static_cast<float>(places.legendTop) + static_cast<float>(e.row) * line;
    Gdiplus::Pen pen(GdiColour(e.colour), 2 * scale);
    g.DrawLine(&pen, left + scale, top + line / 2,
               left + static_cast<float>(workbench::kLegendLine) * scale - scale, top + line / 2);
    const float textLeft =
        left + static_cast<float>(workbench::kLegendLine + workbench::kLegendLineGap) * scale;
    Write(g, font_, e.name,
          Gdiplus::RectF(textLeft, top, static_cast<float>(TextWidth(e.name)) + 2, line),
          Gdiplus::StringAlignmentNear, Gdiplus::Color(0x20, 0x20, 0x20));
  }
  g.SetSmoothingMode(Gdiplus::SmoothingModeDefault);
}

std::string TrendPanel::ExportPng(const std::string& path) {
  pointed_.reset();  // the picture shows the chart, not the pointer
  const int titleBand = Px(kTitleBand);
  HBITMAP bitmap = chart_->Snapshot(titleBand);
  {
    HDC screen = GetDC(chart_->Handle());
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(chart_->Handle(), screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, font_);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    const std::wstring title = Wide(trend_.ExportTitle());
    RECT band{Px(kMargin), 0, Px(4000), titleBand};
    DrawTextW(memory, title.c_str(), static_cast<int>(title.size()), &band,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(memory, oldFont);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  const bool saved = SavePng(bitmap, path);
  DeleteObject(bitmap);
  std::string message = saved ? "" : workbench::ExportFailureText(path);
  if (saved) settings_.SetExportFolder(workbench::FolderOf(path));
  SetText(ids::kTrendMessage, message);
  return message;
}

void TrendPanel::ChooseExportFile() {
  const workbench::SaveQuestion question =
      workbench::ExportQuestion(std::chrono::system_clock::now());
  const std::string path =
      AskSavePath(Handle(), question, workbench::ExistingFolder(settings_.ExportFolder()));
  if (!path.empty()) ExportPng(path);
}

}  // namespace kt::ui::win32
