// Builds the trend chart, feeds it from the trend store and handles ticks, span, pause, zoom and
// export.
#include "qt/workbench/TrendTab.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

#include "qt/workbench/SaveDialog.h"
#include "qt/workbench/TrendLegend.h"
#include "workbench/SaveQuestions.h"
#include "workbench/TrendChoices.h"
#include "workbench/TrendLayout.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

using std::chrono::milliseconds;
using workbench::TrendSeries;
using workbench::UnitGroup;

// A time label may stand half outside the plot: the margins leave room for it.
constexpr int kChartMargin = 4;
constexpr int kLegendMargin = 8;

// The line above an exported picture.
constexpr int kTitlePadding = 6;

std::size_t Index(TrendSeries s) {
  return static_cast<std::size_t>(s);
}
std::size_t Index(UnitGroup g) {
  return static_cast<std::size_t>(g);
}

QPen SeriesPen(TrendSeries s) {
  const workbench::Rgb rgb = workbench::SeriesColour(s);
  return {QColor(rgb.red, rgb.green, rgb.blue), 1};
}

QString LabelFormat(int decimals) {
  return QStringLiteral("%.%1f").arg(decimals);
}

double Ms(std::chrono::system_clock::time_point t) {
  return static_cast<double>(
      std::chrono::duration_cast<milliseconds>(t.time_since_epoch()).count());
}

QString AxisTitle(UnitGroup g, const workbench::UnitChoice& unit) {
  return QString::fromStdString(workbench::GroupAxisTitle(g, unit));
}

workbench::PlotBox Box(const QRectF& r) {
  return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace

TrendTab::TrendTab(QWidget* parent) : TrendTab(nullptr, nullptr, parent) {}

TrendTab::TrendTab(workbench::TrendModel& trend, workbench::WorkbenchSettings& settings,
                   QWidget* parent)
    : TrendTab(&trend, &settings, parent) {}

TrendTab::~TrendTab() = default;

TrendTab::TrendTab(workbench::TrendModel* trend, workbench::WorkbenchSettings* settings,
                   QWidget* parent)
    : QWidget(parent),
      own_(trend == nullptr ? std::make_unique<OwnModel>() : nullptr),
      trend_(trend != nullptr ? *trend : own_->trend),
      settings_(settings != nullptr ? *settings : own_->settings) {
  BuildChart();

  spanBox_ = new QComboBox(this);
  for (const workbench::TrendSpan& c : workbench::kTrendSpans) {
    spanBox_->addItem(QString::fromUtf8(c.label));
  }
  if (const auto shown = workbench::TrendSpanIndex(trend_.Span())) {
    spanBox_->setCurrentIndex(static_cast<int>(*shown));
  }
  connect(spanBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) SetSpan(workbench::kTrendSpans[static_cast<std::size_t>(index)].span);
  });

  pauseButton_ = new QPushButton(QString::fromUtf8(workbench::kPauseText), this);
  pauseButton_->setCheckable(true);
  pauseButton_->setChecked(trend_.Paused());
  connect(pauseButton_, &QPushButton::toggled, this, [this](bool on) { SetPaused(on); });

  auto* exportButton = new QPushButton(QString::fromUtf8(workbench::kExportPictureText), this);
  connect(exportButton, &QPushButton::clicked, this, [this] { ChooseExportFile(); });

  auto* resetButton = new QPushButton(QString::fromUtf8(workbench::kResetZoomText), this);
  resetButton->setToolTip(QString::fromUtf8(workbench::kResetZoomTip));
  connect(resetButton, &QPushButton::clicked, this, [this] { ResetZoom(); });

  // The value under the pointer has a line of its own below the chart, so that the buttons
  // alone set how narrow the tab can be.
  hoverLabel_ = new QLabel(this);
  message_ = new QLabel(this);
  message_->setStyleSheet(QStringLiteral("color: red"));
  // The line keeps the height of a Chinese text while empty, and a long path is cut: a value or
  // a message shown does not shrink the chart.
  message_->setText(QString::fromStdString(workbench::ExportFailureText("")));
  message_->setMinimumHeight(message_->sizeHint().height());
  message_->clear();
  message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QString::fromUtf8(workbench::kTrendSpanLabel), this));
  bar->addWidget(spanBox_);
  bar->addWidget(pauseButton_);
  bar->addWidget(resetButton);
  bar->addWidget(exportButton);
  bar->addStretch(1);

  // The chart and its legend on one white ground: the exported picture shows both.
  plotPanel_ = new QWidget(this);
  plotPanel_->setAutoFillBackground(true);
  QPalette white = plotPanel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  plotPanel_->setPalette(white);
  legend_ = new TrendLegend(plotPanel_);
  legend_->SetShown(trend_.Shown());
  auto* plotColumn = new QVBoxLayout(plotPanel_);
  plotColumn->setContentsMargins(0, 0, 0, kLegendMargin);
  plotColumn->setSpacing(0);
  plotColumn->addWidget(view_, 1);
  auto* legendRow = new QHBoxLayout;
  legendRow->setContentsMargins(kLegendMargin, 0, kLegendMargin, 0);
  legendRow->addWidget(legend_);
  plotColumn->addLayout(legendRow);

  auto* right = new QVBoxLayout;
  right->addLayout(bar);
  right->addWidget(plotPanel_, 1);
  // The value under the pointer on the left of the line below, a failure's message after it.
  auto* below = new QHBoxLayout;
  below->addWidget(hoverLabel_);
  below->addWidget(message_, 1);
  right->addLayout(below);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(BuildSeriesPicker());
  layout->addLayout(right, 1);
}

void TrendTab::BuildChart() {
  chart_ = new QChart;
  // The legend is the model's, below the chart (TrendLegend): it wraps where the chart's would cut
  // the names.
  chart_->legend()->hide();
  chart_->setBackgroundRoundness(0);

  // Labels and grid lines where workbench::ChooseTimeLabels puts them (FitTimeLabels).
  timeAxis_ = new QCategoryAxis;
  timeAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  timeAxis_->setTitleText(QString::fromUtf8(workbench::kTimeAxisTitle));
  chart_->addAxis(timeAxis_, Qt::AlignBottom);

  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    auto* axis = new QValueAxis;
    axis->setTitleText(
        AxisTitle(static_cast<UnitGroup>(g), trend_.Axis(static_cast<UnitGroup>(g)).unit));
    axis->setVisible(false);
    // The labels are chosen to fit: never cut to "2…". The title stands above the plot
    // (workbench::PlaceAxisTitles), where it never crowds the labels.
    axis->setTruncateLabels(false);
    axis->setTitleVisible(false);
    axisTitles_[g] = new QGraphicsSimpleTextItem(chart_);
    axisTitles_[g]->setFont(timeAxis_->titleFont());
    axisTitles_[g]->setBrush(timeAxis_->titleBrush());
    axisTitles_[g]->hide();
    chart_->addAxis(axis, workbench::kAxisOnLeft[g] ? Qt::AlignLeft : Qt::AlignRight);
    groupAxes_[g] = axis;
  }
  // The first and the last time label stand half outside the plot: the margins leave room for
  // them whether or not a value axis stands beside the plot.
  timeAxis_->setTruncateLabels(false);
  const int halfLabel =
      QFontMetrics(timeAxis_->labelsFont())
          .horizontalAdvance(QString::fromStdString(workbench::WidestTimeLabel())) /
      2;
  chart_->setMargins(
      QMargins(kChartMargin + halfLabel, kChartMargin, kChartMargin + halfLabel, kChartMargin));

  view_ = new TrendTabView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumSize(260, 260);
  view_->setBackgroundBrush(Qt::white);
  view_->onWheelZoom = [this](double factor, QPointF at) {
    ZoomTime(factor, trend_.TimeAt(Plot(), at.x()));
  };
  view_->onBoxZoom = [this](const QRectF& box) { ZoomToBox(box); };
  view_->onPan = [this](QPointF pixels) { PanBy(pixels); };
  view_->onReset = [this] { ResetZoom(); };
  view_->onPointer = [this](std::optional<QPointF> at) { ShowValueAt(at); };
  connect(chart_, &QChart::plotAreaChanged, this, [this] {
    FitTimeLabels();
    PlaceAxisTitles();
  });
}

void TrendTab::AddDrawnSeries(TrendSeries s, QXYSeries* drawn) {
  chart_->addSeries(drawn);
  drawn->attachAxis(timeAxis_);
  drawn->attachAxis(groupAxes_[Index(workbench::GroupOf(s))]);
}

void TrendTab::MakeDrawn(TrendSeries s) {
  auto* line = new QLineSeries;
  line->setName(QString::fromUtf8(workbench::SeriesName(s)));
  line->setPen(SeriesPen(s));
  AddDrawnSeries(s, line);
  series_[Index(s)] = line;

  auto* dots = new QScatterSeries;
  dots->setMarkerSize(workbench::kLonePointSize);
  dots->setColor(SeriesPen(s).color());
  dots->setBorderColor(SeriesPen(s).color());
  AddDrawnSeries(s, dots);
  lonePoints_[Index(s)] = dots;
}

void TrendTab::DeleteDrawn(TrendSeries s) {
  std::vector<QXYSeries*> drawn(moreLines_[Index(s)].begin(), moreLines_[Index(s)].end());
  drawn.push_back(series_[Index(s)]);
  drawn.push_back(lonePoints_[Index(s)]);
  for (QXYSeries* one : drawn) {
    if (one == nullptr) continue;
    chart_->removeSeries(one);
    delete one;
  }
  series_[Index(s)] = nullptr;
  lonePoints_[Index(s)] = nullptr;
  moreLines_[Index(s)].clear();
}

QWidget* TrendTab::BuildSeriesPicker() {
  auto* panel = new QWidget;
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    auto* box = new QGroupBox(QString::fromUtf8(workbench::kUnitGroupTitles[g]), panel);
    // Two columns of ticks per group keep every group in view without scrolling.
    auto* rows = new QGridLayout(box);
    rows->setVerticalSpacing(2);
    int placed = 0;
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      const auto which = static_cast<TrendSeries>(s);
      if (Index(workbench::GroupOf(which)) != g) continue;
      auto* tick = new QCheckBox(QString::fromUtf8(workbench::SeriesName(which)), box);
      connect(tick, &QCheckBox::toggled, this,
              [this, which](bool on) { SetSeriesShown(which, on); });
      rows->addWidget(tick, placed / 2, placed % 2);
      ++placed;
      boxes_[s] = tick;
    }
    column->addWidget(box);
  }
  column->addStretch(1);
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    if (trend_.Shown()[s]) boxes_[s]->setChecked(true);
  }

  auto* scroll = new QScrollArea(this);
  scroll->setWidget(panel);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  // Both columns of ticks where the window has room; in a narrow window the picker gives way
  // down to about one column and scrolls sideways.
  const int fullWidth = panel->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width();
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll->setMinimumWidth(fullWidth / 2);
  scroll->setMaximumWidth(fullWidth);
  scroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  return scroll;
}

void TrendTab::AddBlock(const values::MeasuredBlock& block) {
  trend_.AddBlock(block);
  BlockAdded();
}

void TrendTab::BlockAdded() {
  behind_ = true;
  RedrawWhenInView();
}

void TrendTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (behind_) RedrawWhenInView();
}

void TrendTab::RedrawWhenInView() {
  if (trend_.DrawsNow(false, isVisible())) Redraw();
}

void TrendTab::SetSeriesShown(TrendSeries s, bool shown) {
  QCheckBox* tick = boxes_[Index(s)];
  if (tick != nullptr && tick->isChecked() != shown) {
    tick->setChecked(shown);  // comes back here through the toggle
    return;
  }
  trend_.SetShown(s, shown);
  // Only the shown series have anything in the chart: each drawn series costs the chart its
  // items and a legend entry, shown or not.
  if (shown && series_[Index(s)] == nullptr) MakeDrawn(s);
  if (!shown) DeleteDrawn(s);
  legend_->SetShown(trend_.Shown());
  // A paused view stays as it was; a series ticked meanwhile fills in when the view runs again.
  behind_ = true;
  RedrawWhenInView();
}

void TrendTab::SetSpan(std::chrono::minutes span) {
  trend_.SetSpan(span);
  behind_ = true;
  RedrawWhenInView();
}

void TrendTab::SetPaused(bool paused) {
  if (pauseButton_->isChecked() != paused) {
    pauseButton_->setChecked(paused);  // comes back here through the toggle
    return;
  }
  trend_.SetPaused(paused);
  RedrawWhenInView();
}

workbench::PlotBox TrendTab::Plot() const {
  return Box(chart_->plotArea());
}

void TrendTab::RedrawForUser() {
  behind_ = true;
  if (trend_.DrawsNow(true, isVisible())) Redraw();
}

void TrendTab::Redraw() {
  behind_ = false;
  const auto width = static_cast<std::size_t>(std::max(0.0, chart_->plotArea().width()));
  const workbench::TrendModel::Refreshed refreshed = trend_.Refresh(width);
  if (trend_.Store().size() == 0) {
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      ClearDrawn(static_cast<TrendSeries>(s));
    }
    return;
  }
  // A change of axis lays out every point of the series on it: empty them first, so that only
  // the replace below pays for their points.
  if (refreshed.rebuilt || refreshed.axesMoved.any()) {
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      if (refreshed.changed[s]) ClearDrawn(static_cast<TrendSeries>(s));
    }
  }
  ShowGroupAxes(refreshed.axesMoved);
  if (refreshed.rebuilt) {
    const workbench::TrendAxis& axis = trend_.Columns().axis();
    timeAxis_->setRange(Ms(axis.from), Ms(axis.to));
    FitTimeLabels();
  }
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    if (refreshed.changed[s]) Replace(static_cast<TrendSeries>(s));
  }
}

void TrendTab::ShowGroupAxes(workbench::GroupSet moved) {
  // One set of horizontal grid lines (each set is painted again with every block).
  const std::optional<UnitGroup> grid = workbench::GridGroup(trend_);
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    const workbench::GroupAxis& model = trend_.Axis(static_cast<UnitGroup>(g));
    QValueAxis* axis = groupAxes_[g];
    if (axis->isVisible() != model.used) axis->setVisible(model.used);
    if (axis->isTitleVisible()) axis->setTitleVisible(false);  // shown again with the axis
    const bool gridded = grid && Index(*grid) == g;
    if (axis->isGridLineVisible() != gridded) axis->setGridLineVisible(gridded);
    if (!model.used || !moved[g]) continue;
    // Each setting lays the axis's labels out anew: only what changed is set.
    const QString title = AxisTitle(static_cast<UnitGroup>(g), model.unit);
    const QString format = LabelFormat(model.decimals);
    if (axis->titleText() != title) axis->setTitleText(title);
    if (axis->labelFormat() != format) axis->setLabelFormat(format);
    if (axis->tickCount() != model.range.ticks) axis->setTickCount(model.range.ticks);
    axis->setRange(model.range.low, model.range.high);
    axisTitles_[g]->setText(title);
  }
  PlaceAxisTitles();
}

namespace {

// Sets the series' points unless it has them already: a replace lays out every point again.
void Show(QXYSeries& drawn, const QList<QPointF>& points) {
  if (drawn.count() == 0 && points.isEmpty()) return;
  if (drawn.count() == points.size() && drawn.points() == points) return;
  drawn.replace(points);
}

}  // namespace

void TrendTab::Replace(TrendSeries s) {
  if (series_[Index(s)] == nullptr) return;
  const double divisor = trend_.Axis(workbench::GroupOf(s)).unit.divisor;
  const std::vector<workbench::TrendPoint>& points = trend_.Columns().Points(s);
  // One line per run; a run of one point is a dot, as a line through it would have no length.
  std::vector<QList<QPointF>> lines;
  QList<QPointF> lone;
  for (std::size_t first = 0; first < points.size();) {
    std::size_t end = first + 1;
    while (end < points.size() && points[end].run == points[first].run) ++end;
    QList<QPointF> run;
    run.reserve(static_cast<qsizetype>(end - first));
    for (std::size_t i = first; i < end; ++i) {
      run.append(QPointF(points[i].ms, points[i].value / divisor));
    }
    if (run.size() == 1) {
      lone.append(run.front());
    } else {
      lines.push_back(std::move(run));
    }
    first = end;
  }
  std::vector<QLineSeries*>& more = moreLines_[Index(s)];
  while (more.size() + 1 < lines.size()) {
    auto* line = new QLineSeries;
    line->setPen(SeriesPen(s));
    AddDrawnSeries(s, line);
    more.push_back(line);
  }
  const QList<QPointF> none;
  Show(*series_[Index(s)], lines.empty() ? none : lines.front());
  for (std::size_t k = 0; k < more.size(); ++k)
    Show(*more[k], k + 1 < lines.size() ? lines[k + 1] : none);
  Show(*lonePoints_[Index(s)], lone);
}

void TrendTab::ClearDrawn(TrendSeries s) {
  if (series_[Index(s)] == nullptr) return;
  series_[Index(s)]->clear();
  for (QLineSeries* line : moreLines_[Index(s)]) {
    if (line->count() > 0) line->clear();
  }
  if (lonePoints_[Index(s)]->count() > 0) lonePoints_[Index(s)]->clear();
}

std::vector<QList<QPointF>> TrendTab::DrawnLines(TrendSeries s) const {
  std::vector<QList<QPointF>> lines;
  if (series_[Index(s)] == nullptr) return lines;
  if (series_[Index(s)]->count() > 0) lines.push_back(series_[Index(s)]->points());
  for (const QLineSeries* line : moreLines_[Index(s)]) {
    if (line->count() > 0) lines.push_back(line->points());
  }
  return lines;
}

QList<QPointF> TrendTab::LonePoints(TrendSeries s) const {
  return lonePoints_[Index(s)] != nullptr ? lonePoints_[Index(s)]->points() : QList<QPointF>();
}

void TrendTab::ZoomTime(double factor, double centreMs) {
  trend_.ZoomTime(factor, centreMs);
  RedrawForUser();
}

void TrendTab::ZoomToBox(const QRectF& box) {
  trend_.ZoomToBox(Plot(), Box(box));
  RedrawForUser();
}

void TrendTab::PanBy(QPointF pixels) {
  trend_.PanBy(Plot(), pixels.x(), pixels.y());
  RedrawForUser();
}

void TrendTab::ResetZoom() {
  trend_.ResetZoom();
  RedrawForUser();
}

void TrendTab::PlaceAxisTitles() {
  const workbench::AxisTitlePlaces places = workbench::PlaceAxisTitles(trend_);
  const QFontMetrics metrics(timeAxis_->titleFont());
  const int line = metrics.height();
  QMargins margins = chart_->margins();
  if (margins.top() != kChartMargin + places.rows * line) {
    margins.setTop(kChartMargin + places.rows * line);
    chart_->setMargins(margins);  // lays the chart out again, and comes back here
  }
  const qreal width = chart_->size().width();
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    QGraphicsSimpleTextItem* title = axisTitles_[g];
    title->setVisible(places.row[g] >= 0);
    if (places.row[g] < 0) continue;
    const qreal y = kChartMargin + places.row[g] * line;
    const qreal x = workbench::kAxisOnLeft[g]
                        ? kChartMargin
                        : width - kChartMargin - title->boundingRect().width();
    title->setPos(x, y);
  }
}

void TrendTab::FitTimeLabels() {
  const workbench::TrendAxis& axis = trend_.Columns().axis();
  if (axis.tick.count() <= 0) return;
  const QFontMetricsF metrics(timeAxis_->labelsFont());
  const workbench::TimeLabels labels =
      workbench::ChooseTimeLabels(axis, chart_->plotArea().width(), [&](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
      });
  QStringList texts;
  for (const double ms : labels.at) {
    texts << QString::fromStdString(workbench::TimeLabel(ms, labels.seconds));
  }
  // Each change lays the labels out anew: only new labels are set.
  if (texts == timeAxis_->categoriesLabels()) return;
  for (const QString& old : timeAxis_->categoriesLabels()) timeAxis_->remove(old);
  timeAxis_->setStartValue(Ms(axis.from));
  for (qsizetype i = 0; i < texts.size(); ++i) {
    timeAxis_->append(texts[i], labels.at[static_cast<std::size_t>(i)]);
  }
}

void TrendTab::ShowValueAt(std::optional<QPointF> at) {
  const std::optional<workbench::PointedValue> pointed =
      at ? workbench::ValueAt(trend_, Plot(), at->x(), at->y(), workbench::kPointerReach)
         : std::nullopt;
  if (!pointed) {
    hoverLabel_->clear();
    QToolTip::hideText();
    return;
  }
  const QString text = QString::fromStdString(pointed->text);
  hoverLabel_->setText(text);
  QToolTip::showText(QCursor::pos(), text, view_);
}

QString TrendTab::pointedValue() const {
  return hoverLabel_->text();
}

QString TrendTab::ExportTitle() const {
  return QString::fromStdString(trend_.ExportTitle());
}

QImage TrendTab::ExportImage() {
  // The chart lays itself out when the event loop comes round: a picture taken before would show
  // axes and labels where they stood before the last change.
  if (chart_->layout() != nullptr) chart_->layout()->activate();
  plotPanel_->layout()->activate();
  const QPixmap shown = plotPanel_->grab();
  const qreal ratio = shown.devicePixelRatio();
  const QFont titleFont = font();
  const int band = QFontMetrics(titleFont).height() + 2 * kTitlePadding;
  QImage image(shown.width(), shown.height() + qRound(band * ratio), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(titleFont);
  painter.setPen(Qt::black);
  const int width = qRound(shown.width() / ratio);
  painter.drawText(QRect(kTitlePadding, 0, width - 2 * kTitlePadding, band),
                   Qt::AlignLeft | Qt::AlignVCenter, ExportTitle());
  painter.drawPixmap(QPointF(0, band), shown);
  return image;
}

QString TrendTab::ExportPng(const QString& path) {
  const bool saved = ExportImage().save(path, "PNG");
  if (saved) settings_.SetExportFolder(workbench::FolderOf(path.toStdString()));
  message_->setText(
      saved ? QString() : QString::fromStdString(workbench::ExportFailureText(path.toStdString())));
  return message_->text();
}

QString TrendTab::ExportFolder() const {
  const std::string last = workbench::ExistingFolder(settings_.ExportFolder());
  return last.empty() ? QDir::homePath() : QString::fromStdString(last);
}

void TrendTab::ChooseExportFile() {
  const workbench::SaveQuestion question =
      workbench::ExportQuestion(std::chrono::system_clock::now());
  const std::string path = AskSavePath(this, question, ExportFolder().toStdString());
  if (!path.empty()) ExportPng(QString::fromStdString(path));
}

}  // namespace kt::ui::qt
