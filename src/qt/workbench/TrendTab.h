// The "趋势" tab: a line chart of the ticked quantities over the last 1, 10 or 60 minutes, with
// zoom, pan and export.
#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <array>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "qt/workbench/TrendTabView.h"
#include "values/MeasuredBlock.h"
#include "workbench/TrendChoices.h"
#include "workbench/TrendColumns.h"
#include "workbench/TrendStore.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;
class QXYSeries;

namespace kt::ui::qt {

class TrendTab : public QWidget {
 public:
  // The folder the last picture was saved to, in the user's settings.
  static constexpr const char* kExportFolderKey = "trend/exportFolder";

  explicit TrendTab(QWidget* parent = nullptr);

  // Keeps the block; brings the chart up to date unless paused or out of sight (then it catches
  // up when shown again).
  void AddBlock(const values::MeasuredBlock& block);

  // The chart as it is shown, under a line with the date and the time range it covers
  // (ExportTitle). ExportPng saves it and remembers the folder; false when the file cannot be
  // written. "导出图片…" starts in ExportFolder(): the folder last saved to, else the home folder.
  QImage ExportImage();
  QString ExportTitle() const;
  bool ExportPng(const QString& path);
  QString ExportFolder() const;

  // Zoom and pan. The time axis then stays on the stretch chosen while blocks keep arriving (and
  // a box fixes the value axes too) until ResetZoom or SetSpan brings back the span that follows
  // the newest block. `factor` below 1 narrows the time axis around `centreMs` (since the epoch);
  // the box and the pixels are in the chart's positions.
  void ZoomTime(double factor, double centreMs);
  void ZoomToBox(const QRectF& box);
  void PanBy(QPointF pixels);
  void ResetZoom();
  bool zoomed() const { return zoom_.has_value(); }

  // What the check boxes, the span list and "暂停" set, for code that drives the tab.
  void SetSeriesShown(workbench::TrendSeries series, bool shown);
  void SetSpan(std::chrono::minutes span);
  void SetPaused(bool paused);
  bool paused() const { return paused_; }

  // What the chart shows. A series that is not ticked has no line: nullptr.
  const QLineSeries* series(workbench::TrendSeries s) const {
    return series_[static_cast<std::size_t>(s)];
  }
  const QValueAxis& axis(workbench::UnitGroup g) const {
    return *groupAxes_[static_cast<std::size_t>(g)];
  }
  std::size_t storedBlocks() const { return store_.size(); }
  QChartView& chartView() { return *view_; }
  const QDateTimeAxis& timeAxis() const { return *timeAxis_; }
  // The lines drawn for a series, one per stretch of uninterrupted polling, in time order, and
  // its points that stand alone between two gaps.
  std::vector<QList<QPointF>> DrawnLines(workbench::TrendSeries s) const;
  QList<QPointF> LonePoints(workbench::TrendSeries s) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Stretch {
    workbench::TrendClock::time_point from, to;
  };
  struct ValueRange {
    double low, high;  // base units
  };

  void BuildChart();
  QWidget* BuildSeriesPicker();
  // The first line, the lone points and the further lines of a ticked series, made when it is
  // ticked and deleted when it is not.
  void MakeDrawn(workbench::TrendSeries s);
  void DeleteDrawn(workbench::TrendSeries s);
  // Puts a line or the dots drawn for `s` in the chart, on its axes, telling the value under the
  // pointer.
  void AddDrawnSeries(workbench::TrendSeries s, QXYSeries* drawn);
  void HideFromLegend(QXYSeries* drawn);
  workbench::SeriesSet Shown() const;
  std::size_t ColumnCount() const;
  workbench::TrendAxis CurrentAxis() const;
  void RedrawWhenInView();
  // For the user's zoom and pan: drawn at once while in view, paused or not.
  void RedrawForUser();
  void Redraw();
  // Sets each group's axis to its shown series; returns the series on axes that changed.
  workbench::SeriesSet FitGroupAxes();
  void Replace(workbench::TrendSeries s);
  void ClearDrawn(workbench::TrendSeries s);
  void ZoomTo(double fromMs, double toMs);
  void ForgetZoom();
  void ShowHover(workbench::TrendSeries s, const QPointF& point, bool entered);
  void ChooseExportFile();

  workbench::TrendStore store_;
  workbench::TrendColumns columns_;
  std::chrono::minutes span_ = workbench::kTrendSpans[workbench::kDefaultSpanIndex].span;
  bool paused_ = false;
  bool stale_ = true;  // the chart must be built anew from the store
  uint64_t restartsSeen_ = 0;
  std::optional<Stretch> zoom_;
  std::array<std::optional<ValueRange>, workbench::kUnitGroupCount> fixedRanges_{};

  QChart* chart_ = nullptr;
  TrendTabView* view_ = nullptr;
  QDateTimeAxis* timeAxis_ = nullptr;
  std::array<QValueAxis*, workbench::kUnitGroupCount> groupAxes_{};
  std::array<workbench::UnitChoice, workbench::kUnitGroupCount> groupUnits_{};
  std::array<bool, workbench::kUnitGroupCount> groupFitted_{};
  // The first line of each ticked series; nullptr for the others.
  std::array<QLineSeries*, workbench::kTrendSeriesCount> series_{};
  // The further lines, made when a series first needs them and kept for reuse.
  std::array<std::vector<QLineSeries*>, workbench::kTrendSeriesCount> moreLines_{};
  std::array<QScatterSeries*, workbench::kTrendSeriesCount> lonePoints_{};
  std::array<QCheckBox*, workbench::kTrendSeriesCount> boxes_{};
  QComboBox* spanBox_ = nullptr;
  QPushButton* pauseButton_ = nullptr;
  QLabel* hoverLabel_ = nullptr;
};

}  // namespace kt::ui::qt
