// The tab "趋势": the ticked quantities (grouped by unit) over the last 1, 10 or 60 minutes, one
// value axis per unit group, the time axis in whole tick steps and the points thinned to the
// budget of the core's TrendColumns; "暂停" and "导出图片…" (PNG). Between two tick steps a new
// block changes only the newest column: only the strip from the column before it to the plot's
// right edge is drawn again, unless a value axis had to move. Out of sight, or paused, it only
// keeps the blocks and catches up when shown or resumed.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "values/MeasuredBlock.h"
#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/PaintedView.h"
#include "workbench/TrendChoices.h"
#include "workbench/TrendColumns.h"
#include "workbench/TrendStore.h"

namespace kt::ui::win32 {

class TrendPanel : public ChildPanel {
 public:
  TrendPanel();
  void AddBlock(const values::MeasuredBlock& block);
  void OnShown() override { Redraw(); }
  void Layout(int width, int height) override;

  // What the check boxes, the span list and "暂停" set, for code that drives the tab.
  void SetSeriesShown(workbench::TrendSeries series, bool shown);
  void SetSpan(std::chrono::minutes span);
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  // Saves the chart as shown, under a line with the date and time range, as a PNG file; "" or the
  // Chinese message also shown in the tab.
  std::string ExportPng(const std::string& path);

  workbench::SeriesSet Shown() const;
  const workbench::TrendColumns& Columns() const { return columns_; }
  std::size_t StoredBlocks() const { return store_.size(); }
  // A group's value axis as drawn: its range in the shown unit, and its title ("电压 (V)").
  struct GroupAxis {
    bool used = false;
    workbench::UnitChoice unit{"", 1};
    workbench::NiceRange range{0, 1, 2};
  };
  const GroupAxis& Axis(workbench::UnitGroup g) const { return axes_[static_cast<std::size_t>(g)]; }
  // The area last drawn again after a block (client pixels of the chart), for tests and tools.
  RECT LastRedrawn() const { return lastRedrawn_; }
  HWND Chart() const { return chart_->Handle(); }

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;

 private:
  void Redraw();
  // Sets each group's axis to the points of its shown series; true when one moved.
  bool FitAxes();
  RECT PlotArea() const;
  void Paint(HDC dc, const RECT& area) const;
  std::string ExportTitle() const;
  void ChooseExportFile();

  workbench::TrendStore store_;
  workbench::TrendColumns columns_;
  std::chrono::minutes span_ = workbench::kTrendSpans[workbench::kDefaultSpanIndex].span;
  bool paused_ = false;
  bool stale_ = true;  // the columns must be built anew from the store
  std::array<GroupAxis, workbench::kUnitGroupCount> axes_{};
  RECT lastRedrawn_{};
  std::string title_;  // drawn above the chart in an exported picture
  std::unique_ptr<PaintedView> chart_;
};

}  // namespace kt::ui::win32
