// The tab "趋势": draws the trend model (the ticked quantities, grouped by unit, over the last 1,
// 10 or 60 minutes, one value axis per unit group, the time axis in whole tick steps and the
// points thinned to the budget of the core's TrendColumns; labels and legend fitted to the room by
// the core's TrendLayout) and forwards the ticks, the span, "暂停", "复位", "导出图片…" (PNG), the
// wheel and box zoom, the pan and the pointer to it. Between two tick steps a new
// block changes only the newest column: only the strip from the column before it to the plot's
// right edge is drawn again, unless a value axis had to move. Out of sight, or paused, it only
// keeps the blocks and catches up when shown or resumed.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/GdiPlus.h"
#include "win32/workbench/PaintedView.h"
#include "win32/workbench/TrendChartInput.h"
#include "workbench/TrendLayout.h"
#include "workbench/TrendModel.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::ui::win32 {

class TrendPanel : public ChildPanel {
 public:
  // Draws `trend`; `settings` keeps the folder pictures go to.
  TrendPanel(workbench::TrendModel& trend, workbench::WorkbenchSettings& settings);
  // The model has a new block: drawn at once unless paused or out of sight.
  void BlockAdded();
  void OnShown() override { Redraw(); }
  void Layout(int width, int height) override;

  // What the check boxes, the span list and "暂停" set, for code that drives the tab.
  void SetSeriesShown(workbench::TrendSeries series, bool shown);
  void SetSpan(std::chrono::minutes span);
  void SetPaused(bool paused);
  bool Paused() const { return trend_.Paused(); }
  bool Zoomed() const { return trend_.Zoomed(); }
  // Saves the chart as shown, under a line with the date and time range, as a PNG file; "" or the
  // Chinese message also shown in the tab.
  std::string ExportPng(const std::string& path);

  workbench::SeriesSet Shown() const { return trend_.Shown(); }
  const workbench::TrendColumns& Columns() const { return trend_.Columns(); }
  std::size_t StoredBlocks() const { return trend_.Store().size(); }
  // A group's value axis as drawn: its range in the shown unit.
  const workbench::GroupAxis& Axis(workbench::UnitGroup g) const { return trend_.Axis(g); }
  // The area last drawn again after a block (client pixels of the chart), for tests and tools.
  RECT LastRedrawn() const { return lastRedrawn_; }
  HWND Chart() const { return chart_->Handle(); }
  // Where the chart draws its plot and its legend now (chart client pixels), for tests and tools.
  struct ChartPlaces {
    RECT plot{};
    int legendTop = 0;
    int legendLeft = 0;
    int line = 0;  // a row of text
    workbench::LegendLayout legend;
  };
  ChartPlaces Places() const;

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;

 private:
  // Brings the chart up to the model; `forUser` (zoom, pan) draws it whole even when paused.
  void Redraw(bool forUser = false);
  RECT PlotArea() const { return Places().plot; }
  void PlaceControls(int width, int height);
  void Paint(HDC dc, const RECT& area) const;
  void PaintAxes(Gdiplus::Graphics& g, const ChartPlaces& places) const;
  void PaintLegend(Gdiplus::Graphics& g, const ChartPlaces& places) const;
  void ChooseExportFile();
  void ShowValueAt(std::optional<POINT> at);
  workbench::TextWidth Measure() const;

  workbench::TrendModel& trend_;
  workbench::WorkbenchSettings& settings_;
  RECT lastRedrawn_{};
  TrendChartInput input_;
  std::optional<workbench::PointedValue> pointed_;  // marked on the chart
  std::unique_ptr<PaintedView> chart_;
};

}  // namespace kt::ui::win32
