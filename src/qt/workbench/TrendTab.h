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
#include <memory>
#include <optional>
#include <vector>

#include "qt/workbench/QtWorkbenchSettings.h"
#include "qt/workbench/TrendTabView.h"
#include "values/MeasuredBlock.h"
#include "workbench/TrendChoices.h"
#include "workbench/TrendModel.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QCategoryAxis;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;
class QXYSeries;

namespace kt::ui::qt {
class TrendLegend;
}

namespace kt::ui::qt {

class TrendTab : public QWidget {
 public:
  // The folder the last picture was saved to, in the user's settings.
  static constexpr const char* kExportFolderKey = QtWorkbenchSettings::kExportFolderKey;

  // Draws `trend`, which the workbench model owns and feeds; `settings` keeps the export folder.
  TrendTab(workbench::TrendModel& trend, workbench::WorkbenchSettings& settings,
           QWidget* parent = nullptr);
  // A tab used alone (tests, tools): with a model of its own over the user's settings.
  explicit TrendTab(QWidget* parent = nullptr);
  ~TrendTab() override;
  TrendTab(const TrendTab&) = delete;
  TrendTab& operator=(const TrendTab&) = delete;

  // Gives the block to a tab's own model, then draws as the workbench does after each block.
  void AddBlock(const values::MeasuredBlock& block);
  // Brings the chart up to the model unless paused or out of sight (then it catches up when
  // shown again).
  void BlockAdded();

  // The chart as it is shown, under a line with the date and the time range it covers
  // (ExportTitle). ExportPng saves it and remembers the folder; it returns "" or, when the file
  // cannot be written, the Chinese message also shown in red below the chart. "导出图片…" starts
  // in ExportFolder(): the folder last saved to, else the home folder.
  QImage ExportImage();
  QString ExportTitle() const;
  QString ExportPng(const QString& path);
  QString ExportFolder() const;

  // Zoom and pan (workbench::TrendModel); the box and the pixels are in the chart's positions.
  void ZoomTime(double factor, double centreMs);
  void ZoomToBox(const QRectF& box);
  void PanBy(QPointF pixels);
  void ResetZoom();
  bool zoomed() const { return trend_.Zoomed(); }

  // What the check boxes, the span list and "暂停" set, for code that drives the tab.
  void SetSeriesShown(workbench::TrendSeries series, bool shown);
  void SetSpan(std::chrono::minutes span);
  void SetPaused(bool paused);
  bool paused() const { return trend_.Paused(); }

  // What the chart shows. A series that is not ticked has no line: nullptr.
  const QLineSeries* series(workbench::TrendSeries s) const {
    return series_[static_cast<std::size_t>(s)];
  }
  const QValueAxis& axis(workbench::UnitGroup g) const {
    return *groupAxes_[static_cast<std::size_t>(g)];
  }
  std::size_t storedBlocks() const { return trend_.Store().size(); }
  QChartView& chartView() { return *view_; }
  const TrendLegend& legend() const { return *legend_; }
  // The line telling the value under the pointer ("" when none).
  QString pointedValue() const;
  // The time axis: ms since the epoch, labelled at workbench::ChooseTimeLabels's times.
  const QCategoryAxis& timeAxis() const { return *timeAxis_; }
  // The lines drawn for a series, one per stretch of uninterrupted polling, in time order, and
  // its points that stand alone between two gaps.
  std::vector<QList<QPointF>> DrawnLines(workbench::TrendSeries s) const;
  QList<QPointF> LonePoints(workbench::TrendSeries s) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct OwnModel {
    QtWorkbenchSettings settings;
    workbench::TrendModel trend;
  };
  // With `trend` nullptr, the tab makes a model of its own.
  TrendTab(workbench::TrendModel* trend, workbench::WorkbenchSettings* settings, QWidget* parent);

  void BuildChart();
  QWidget* BuildSeriesPicker();
  // The first line, the lone points and the further lines of a ticked series, made when it is
  // ticked and deleted when it is not.
  void MakeDrawn(workbench::TrendSeries s);
  void DeleteDrawn(workbench::TrendSeries s);
  // Puts a line or the dots drawn for `s` in the chart, on its axes, telling the value under the
  // pointer.
  void AddDrawnSeries(workbench::TrendSeries s, QXYSeries* drawn);
  workbench::PlotBox Plot() const;
  void RedrawWhenInView();
  // For the user's zoom and pan: drawn at once while in view, paused or not.
  void RedrawForUser();
  void Redraw();
  // Sets the value axes of the groups in `moved` to the model's, and every axis's visibility.
  void ShowGroupAxes(workbench::GroupSet moved);
  void Replace(workbench::TrendSeries s);
  void ClearDrawn(workbench::TrendSeries s);
  // The time axis's labels fitted to the plot's width (workbench::ChooseTimeLabels).
  void FitTimeLabels();
  // The value axes' titles in rows above the plot (workbench::PlaceAxisTitles).
  void PlaceAxisTitles();
  // The value under the pointer at `at` (chart positions); nullopt when it left the chart.
  void ShowValueAt(std::optional<QPointF> at);
  void ChooseExportFile();

  std::unique_ptr<OwnModel> own_;  // only for a tab used alone
  workbench::TrendModel& trend_;
  workbench::WorkbenchSettings& settings_;
  bool behind_ = true;  // blocks came while paused or out of sight

  QChart* chart_ = nullptr;
  QWidget* plotPanel_ = nullptr;  // the chart above its legend
  TrendTabView* view_ = nullptr;
  TrendLegend* legend_ = nullptr;
  QCategoryAxis* timeAxis_ = nullptr;
  std::array<QValueAxis*, workbench::kUnitGroupCount> groupAxes_{};
  std::array<QGraphicsSimpleTextItem*, workbench::kUnitGroupCount> axisTitles_{};
  // The first line of each ticked series; nullptr for the others.
  std::array<QLineSeries*, workbench::kTrendSeriesCount> series_{};
  // The further lines, made when a series first needs them and kept for reuse.
  std::array<std::vector<QLineSeries*>, workbench::kTrendSeriesCount> moreLines_{};
  std::array<QScatterSeries*, workbench::kTrendSeriesCount> lonePoints_{};
  std::array<QCheckBox*, workbench::kTrendSeriesCount> boxes_{};
  QComboBox* spanBox_ = nullptr;
  QPushButton* pauseButton_ = nullptr;
  QLabel* hoverLabel_ = nullptr;
  QLabel* message_ = nullptr;  // a failed export's
};

}  // namespace kt::ui::qt
