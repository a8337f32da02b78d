// The "趋势" tab: a line chart of the ticked quantities over the last 1, 10 or 60 minutes.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <chrono>

#include "measure/MeasuredBlock.h"
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
class QValueAxis;

namespace kt::ui::qt {

class TrendTab : public QWidget {
 public:
  explicit TrendTab(QWidget* parent = nullptr);

  // Keeps the block; brings the chart up to date unless paused or out of sight (then it catches
  // up when shown again).
  void AddBlock(const measure::MeasuredBlock& block);

  // Saves the chart as it is shown; false when the file cannot be written.
  bool ExportPng(const QString& path);

  // What the check boxes, the span list and "暂停" set, for code that drives the tab.
  void SetSeriesShown(workbench::TrendSeries series, bool shown);
  void SetSpan(std::chrono::minutes span);
  void SetPaused(bool paused);
  bool paused() const { return paused_; }

  // What the chart shows.
  const QLineSeries& series(workbench::TrendSeries s) const {
    return *series_[static_cast<std::size_t>(s)];
  }
  const QValueAxis& axis(workbench::UnitGroup g) const {
    return *groupAxes_[static_cast<std::size_t>(g)];
  }
  std::size_t storedBlocks() const { return store_.size(); }
  QChartView& chartView() { return *view_; }
  const QDateTimeAxis& timeAxis() const { return *timeAxis_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildChart();
  QWidget* BuildSeriesPicker();
  workbench::SeriesSet Shown() const;
  std::size_t ColumnCount() const;
  void RedrawWhenInView();
  void Redraw();
  // Sets each group's axis to its shown series; returns the series on axes that changed.
  workbench::SeriesSet FitGroupAxes();
  void Replace(workbench::TrendSeries s);
  void ShowHover(workbench::TrendSeries s, const QPointF& point, bool entered);
  void ChooseExportFile();

  workbench::TrendStore store_;
  workbench::TrendColumns columns_;
  std::chrono::minutes span_{10};
  bool paused_ = false;
  bool stale_ = true;  // the chart must be built anew from the store

  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QDateTimeAxis* timeAxis_ = nullptr;
  std::array<QValueAxis*, workbench::kUnitGroupCount> groupAxes_{};
  std::array<workbench::UnitChoice, workbench::kUnitGroupCount> groupUnits_{};
  std::array<bool, workbench::kUnitGroupCount> groupFitted_{};
  std::array<QLineSeries*, workbench::kTrendSeriesCount> series_{};
  std::array<QCheckBox*, workbench::kTrendSeriesCount> boxes_{};
  QComboBox* spanBox_ = nullptr;
  QPushButton* pauseButton_ = nullptr;
  QLabel* hoverLabel_ = nullptr;
};

}  // namespace kt::ui::qt
