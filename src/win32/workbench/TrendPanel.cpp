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
constexpr int kMargin = 6;
constexpr int kButtonHeight = 24;
constexpr int kPickerWidth = 150;
constexpr int kAxisWidth = 58;   // each value axis's labels
constexpr int kTitleRow = 18;    // a value axis's title, one row per axis on a side
constexpr int kBottomRoom = 34;  // the time labels and the time axis's title
constexpr int kSideRoom = 30;    // half a time label beyond the plot's ends
constexpr int kTitleBand = 28;   // the line above an exported picture
constexpr float kLonePoint = 2.5F;

std::size_t Index(UnitGroup g) {
  return static_cast<std::size_t>(g);
}

double Ms(workbench::TrendClock::time_point t) {
  return static_cast<double>(
      std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count());
}

SYSTEMTIME LocalTime(double ms) {
  // Milliseconds since 1970 in FILETIME's 100 ns steps since 1601.
  constexpr unsigned long long kEpochShift = 116444736000000000ULL;
  const auto ticks = static_cast<unsigned long long>(ms) * 10000ULL + kEpochShift;
  FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFFULL), static_cast<DWORD>(ticks >> 32)};
  FILETIME local{};
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME parts{};
  FileTimeToSystemTime(&local, &parts);
  return parts;
}

std::string ClockText(double ms) {
  const SYSTEMTIME t = LocalTime(ms);
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  return text;
}

// The folder of `path` (UTF-8), "" when it names none.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

void Write(Gdiplus::Graphics& g, HFONT font, const std::string& text, const Gdiplus::RectF& box,
           Gdiplus::StringAlignment across, const Gdiplus::Color& colour) {
  WriteText(g, font, text, box, across, colour);
}

}  // namespace

TrendPanel::TrendPanel(workbench::TrendModel& trend, workbench::WorkbenchSettings& settings)
    : trend_(trend),
      settings_(settings),
      chart_(std::make_unique<PaintedView>([this](HDC dc, const RECT& area) { Paint(dc, area); })) {
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
  for (std::size_t i = 0; i < workbench::kTrendSpans.size(); ++i) {
    if (workbench::kTrendSpans[i].span == trend_.Span()) SendMessageW(spans, CB_SETCURSEL, i, 0);
  }
  Add(WC_BUTTONW, workbench::kPauseText, WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE,
      ids::kTrendPauseButton);
  Add(WC_BUTTONW, workbench::kExportPictureText, WS_TABSTOP | BS_PUSHBUTTON, ids::kExportButton);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kTrendMessage);
  MarkRed(ids::kTrendMessage);
  chart_->Create(Handle(), font_);
  SetWindowLongPtrW(chart_->Handle(), GWLP_ID, ids::kTrendChart);
  ShowWindow(chart_->Handle(), SW_SHOW);
}

void TrendPanel::Layout(int width, int height) {
  const int row = LineHeight() + 3;
  int y = 0;
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    int members = 0;
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      if (Index(workbench::GroupOf(static_cast<TrendSeries>(s))) != g) continue;
      Place(ids::kFirstSeriesBox + static_cast<int>(s), kMargin + 8, y + row + members * row,
            kPickerWidth - 16, row);
      ++members;
    }
    const int boxHeight = row + members * row + 4;
    Place(ids::kFirstGroupBox + static_cast<int>(g), kMargin, y, kPickerWidth, boxHeight);
    y += boxHeight;
  }
  const int left = kMargin + kPickerWidth + kMargin;
  const int labelWidth = TextWidth(workbench::kTrendSpanLabel) + 4;
  int x = left;
  Place(ids::kSpanLabel, x, kMargin + 4, labelWidth, row);
  x += labelWidth + kMargin;
  Place(ids::kSpanList, x, kMargin, 120, 120);
  x += 120 + kMargin;
  Place(ids::kTrendPauseButton, x, kMargin, 64, kButtonHeight);
  x += 64 + kMargin;
  Place(ids::kExportButton, x, kMargin, 96, kButtonHeight);
  const int chartTop = 2 * kMargin + kButtonHeight;
  const int messageTop = height - kMargin - row;
  Place(ids::kTrendChart, left, chartTop, std::max(0, width - left - kMargin),
        std::max(0, messageTop - chartTop - kMargin));
  Place(ids::kTrendMessage, left, messageTop, std::max(0, width - left - kMargin), row);
  trend_.MarkStale();
  Redraw();
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
  for (std::size_t i = 0; i < workbench::kTrendSpans.size(); ++i) {
    if (workbench::kTrendSpans[i].span == span)
      SendMessageW(Item(ids::kSpanList), CB_SETCURSEL, i, 0);
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

RECT TrendPanel::PlotArea() const {
  RECT client{};
  GetClientRect(chart_->Handle(), &client);
  int leftAxes = 0;
  int rightAxes = 0;
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    if (!trend_.Axis(static_cast<UnitGroup>(g)).used) continue;
    (workbench::kAxisOnLeft[g] ? leftAxes : rightAxes) += 1;
  }
  const int topRoom = kTitleRow * std::max({leftAxes, rightAxes, 1}) + 4;
  return {client.left + std::max(kSideRoom, leftAxes * kAxisWidth), client.top + topRoom,
          client.right - std::max(kSideRoom, rightAxes * kAxisWidth), client.bottom - kBottomRoom};
}

void TrendPanel::Redraw() {
  if (trend_.Paused() || Handle() == nullptr || IsWindowVisible(Handle()) == 0) {
    trend_.MarkStale();  // built anew when drawn again
    return;
  }
  if (trend_.Store().size() == 0) return;
  const RECT plot = PlotArea();
  const auto plotWidth = static_cast<std::size_t>(std::max<LONG>(0, plot.right - plot.left));
  const workbench::TrendModel::Refreshed refreshed = trend_.Refresh(plotWidth);
  if (refreshed.rebuilt || refreshed.axesMoved.any() ||
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
  HFONT font = font_;
  const Gdiplus::Color ink(0x40, 0x40, 0x40);
  const Gdiplus::Color gridColour(0xE4, 0xE4, 0xE4);
  const RECT plot = PlotArea();
  const auto plotLeft = static_cast<float>(plot.left);
  const auto plotTop = static_cast<float>(plot.top);
  const auto plotWidth = static_cast<float>(plot.right - plot.left);
  const auto plotHeight = static_cast<float>(plot.bottom - plot.top);
  if (plotWidth <= 0 || plotHeight <= 0) return;
  Gdiplus::Pen frame(Gdiplus::Color(0xB0, 0xB0, 0xB0), 1);
  Gdiplus::Pen grid(gridColour, 1);
  g.DrawRectangle(&frame, plotLeft, plotTop, plotWidth, plotHeight);

  const workbench::TrendAxis& time = trend_.Columns().axis();
  if (trend_.Store().size() == 0 || time.tick.count() <= 0) {
    Write(g, font, workbench::kPhasorWaiting,
          Gdiplus::RectF(plotLeft, plotTop, plotWidth, plotHeight), Gdiplus::StringAlignmentCenter,
          Gdiplus::Color(0x80, 0x80, 0x80));
    return;
  }
  const double from = Ms(time.from);
  const double span = std::max(1.0, Ms(time.to) - from);
  const auto xOf = [&](double ms) {
    return plotLeft + static_cast<float>((ms - from) / span) * plotWidth;
  };
  // The time axis: a label and a grid line at every tick.
  const double tickMs = static_cast<double>(time.tick.count());
  // Labels that would overlap are left out: every `every`-th tick is labelled.
  const float labelPx = TextWidthIn(g, font, "00:00:00") + 8;
  const float tickPx = plotWidth * static_cast<float>(tickMs / span);
  const int every = std::max(1, static_cast<int>(std::ceil(labelPx / std::max(1.0F, tickPx))));
  for (int i = 0; i < time.TickCount(); ++i) {
    const double ms = from + i * tickMs;
    const float x = xOf(ms);
    g.DrawLine(&grid, x, plotTop, x, plotTop + plotHeight);
    if (i % every != 0) continue;
    Write(g, font, ClockText(ms), Gdiplus::RectF(x - 40, plotTop + plotHeight + 2, 80, 16),
          Gdiplus::StringAlignmentCenter, ink);
  }
  Write(g, font, workbench::kTimeAxisTitle,
        Gdiplus::RectF(plotLeft, plotTop + plotHeight + 17, plotWidth, 16),
        Gdiplus::StringAlignmentCenter, ink);

  // One value axis per shown group; the first one's grid lines across the plot.
  int leftAxes = 0;
  int rightAxes = 0;
  bool gridDrawn = false;
  for (std::size_t gi = 0; gi < workbench::kUnitGroupCount; ++gi) {
    const workbench::GroupAxis& axis = trend_.Axis(static_cast<UnitGroup>(gi));
    if (!axis.used) continue;
    const bool onLeft = workbench::kAxisOnLeft[gi];
    const int titleRow = onLeft ? leftAxes : rightAxes;
    const float edge = onLeft ? plotLeft - static_cast<float>(leftAxes++ * kAxisWidth)
                              : plotLeft + plotWidth + static_cast<float>(rightAxes++ * kAxisWidth);
    const float labelLeft = onLeft ? edge - kAxisWidth + 2 : edge + 4;
    const int decimals = axis.decimals;
    const int steps = std::max(1, axis.range.ticks - 1);
    g.DrawLine(&frame, edge, plotTop, edge, plotTop + plotHeight);
    for (int i = 0; i <= steps; ++i) {
      const double value = axis.range.low + (axis.range.high - axis.range.low) * i / steps;
      const float y =
          plotTop + plotHeight - plotHeight * static_cast<float>(i) / static_cast<float>(steps);
      if (!gridDrawn) g.DrawLine(&grid, plotLeft, y, plotLeft + plotWidth, y);
      char text[32];
      std::snprintf(text, sizeof text, "%.*f", decimals, value);
      Write(g, font, text, Gdiplus::RectF(labelLeft, y - 8, kAxisWidth - 6, 16),
            onLeft ? Gdiplus::StringAlignmentFar : Gdiplus::StringAlignmentNear, ink);
    }
    gridDrawn = true;
    Write(g, font, workbench::GroupAxisTitle(static_cast<UnitGroup>(gi), axis.unit),
          Gdiplus::RectF(onLeft ? edge - kAxisWidth : edge,
                         static_cast<float>(2 + titleRow * kTitleRow), kAxisWidth + 60, kTitleRow),
          Gdiplus::StringAlignmentNear, ink);
  }

  // The series: a line per run, a dot for a run of one point, clipped to the plot.
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetClip(Gdiplus::RectF(plotLeft, plotTop, plotWidth + 1, plotHeight + 1));
  const workbench::SeriesSet shown = trend_.Columns().shown();
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    if (!shown[s]) continue;
    const auto series = static_cast<TrendSeries>(s);
    const workbench::GroupAxis& axis = trend_.Axis(workbench::GroupOf(series));
    if (!axis.used) continue;
    const Gdiplus::Color colour = GdiColour(workbench::SeriesColour(series));
    Gdiplus::Pen pen(colour, 1.2F);
    Gdiplus::SolidBrush dot(colour);
    const double range = std::max(1e-12, axis.range.high - axis.range.low);
    std::vector<Gdiplus::PointF> run;
    const auto flush = [&] {
      if (run.size() == 1) {
        g.FillEllipse(&dot, run[0].X - kLonePoint, run[0].Y - kLonePoint, 2 * kLonePoint,
                      2 * kLonePoint);
      } else if (run.size() > 1) {
        g.DrawLines(&pen, run.data(), static_cast<INT>(run.size()));
      }
      run.clear();
    };
    const std::vector<workbench::TrendPoint>& points = trend_.Columns().Points(series);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (i > 0 && points[i].run != points[i - 1].run) flush();
      const double value = points[i].value / axis.unit.divisor;
      run.emplace_back(
          xOf(points[i].ms),
          plotTop + plotHeight - static_cast<float>((value - axis.range.low) / range) * plotHeight);
    }
    flush();
  }
}

std::string TrendPanel::ExportPng(const std::string& path) {
  HBITMAP bitmap = chart_->Snapshot(kTitleBand);
  {
    HDC screen = GetDC(chart_->Handle());
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(chart_->Handle(), screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, font_);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    const std::wstring title = Wide(trend_.ExportTitle());
    RECT band{6, 0, 4000, kTitleBand};
    DrawTextW(memory, title.c_str(), static_cast<int>(title.size()), &band,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(memory, oldFont);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  const bool saved = SavePng(bitmap, path);
  DeleteObject(bitmap);
  std::string message = saved ? "" : workbench::ExportFailureText(path);
  if (saved) settings_.SetExportFolder(FolderOf(path));
  SetText(ids::kTrendMessage, message);
  return message;
}

void TrendPanel::ChooseExportFile() {
  // The folder last exported to, when it is still one.
  std::string folder = settings_.ExportFolder();
  const DWORD attributes = GetFileAttributesW(Wide(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    folder.clear();
  }
  const std::string path =
      AskSavePath(Handle(), workbench::ExportQuestion(std::chrono::system_clock::now()), folder);
  if (!path.empty()) ExportPng(path);
}

}  // namespace kt::ui::win32
