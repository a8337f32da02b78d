// Builds the trend chart, feeds it from the trend store and handles ticks, span, pause, zoom and
// export.
#include "qt/workbench/TrendTab.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QList>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

#include "workbench/TrendChoices.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

using std::chrono::milliseconds;
using workbench::TrendSeries;
using workbench::UnitGroup;

// The narrowest and the widest stretch the time axis can be zoomed to.
constexpr std::chrono::seconds kNarrowestZoom{10};
constexpr std::chrono::minutes kWidestZoom = workbench::TrendStore::kKept;
// A box this high or higher fixes the value axes as well as the time axis.
constexpr double kLeastBoxHeight = 8;
// Value axes fixed by a box show this many steps.
constexpr int kFixedAxisSteps = 5;

// Points that stand alone between two gaps are drawn as dots of this size.
constexpr qreal kLonePointSize = 5;

// The labels of the time axis; the first and the last stand half outside the plot.
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
const QString kWidestTimeLabel = QStringLiteral("00:00:00");
constexpr int kChartMargin = 4;

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

QString LabelFormat(double spanScaled) {
  return QStringLiteral("%.%1f").arg(workbench::LabelDecimals(spanScaled));
}

QDateTime LocalTime(std::chrono::system_clock::time_point t) {
  return QDateTime::fromMSecsSinceEpoch(
      std::chrono::duration_cast<milliseconds>(t.time_since_epoch()).count());
}

double MsSinceEpoch(std::chrono::system_clock::time_point t) {
  return static_cast<double>(
      std::chrono::duration_cast<milliseconds>(t.time_since_epoch()).count());
}
std::chrono::system_clock::time_point FromMs(double ms) {
  return std::chrono::system_clock::time_point(milliseconds(std::llround(ms)));
}

QString AxisTitle(UnitGroup g, const workbench::UnitChoice& unit) {
  const QString title = QString::fromUtf8(workbench::kUnitGroupTitles[Index(g)]);
  return *unit.unit ? QStringLiteral("%1 (%2)").arg(title, QString::fromUtf8(unit.unit)) : title;
}

}  // namespace

TrendTab::TrendTab(QWidget* parent) : QWidget(parent) {
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    groupUnits_[g] = workbench::ChooseUnit(static_cast<UnitGroup>(g), 0);
  }
  BuildChart();

  spanBox_ = new QComboBox(this);
  for (const workbench::TrendSpan& c : workbench::kTrendSpans) {
    spanBox_->addItem(QString::fromUtf8(c.label));
  }
  spanBox_->setCurrentIndex(static_cast<int>(workbench::kDefaultSpanIndex));
  connect(spanBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) SetSpan(workbench::kTrendSpans[static_cast<std::size_t>(index)].span);
  });

  pauseButton_ = new QPushButton(QString::fromUtf8(workbench::kPauseText), this);
  pauseButton_->setCheckable(true);
  connect(pauseButton_, &QPushButton::toggled, this, [this](bool on) { SetPaused(on); });

  auto* exportButton = new QPushButton(QString::fromUtf8(workbench::kExportPictureText), this);
  connect(exportButton, &QPushButton::clicked, this, [this] { ChooseExportFile(); });

  auto* resetButton = new QPushButton(QStringLiteral("复位"), this);
  resetButton->setToolTip(
      QStringLiteral("滚轮缩放时间轴，拖出方框放大，按住右键或中键拖动平移，双击或按此复位"));
  connect(resetButton, &QPushButton::clicked, this, [this] { ResetZoom(); });

  // The value under the pointer has a line of its own below the chart, so that the buttons
  // alone set how narrow the tab can be.
  hoverLabel_ = new QLabel(this);

  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QString::fromUtf8(workbench::kTrendSpanLabel), this));
  bar->addWidget(spanBox_);
  bar->addWidget(pauseButton_);
  bar->addWidget(resetButton);
  bar->addWidget(exportButton);
  bar->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addLayout(bar);
  right->addWidget(view_, 1);
  right->addWidget(hoverLabel_);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(BuildSeriesPicker());
  layout->addLayout(right, 1);
}

void TrendTab::BuildChart() {
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);

  timeAxis_ = new QDateTimeAxis;
  timeAxis_->setFormat(kTimeFormat);
  timeAxis_->setTickCount(7);
  timeAxis_->setTitleText(QString::fromUtf8(workbench::kTimeAxisTitle));
  chart_->addAxis(timeAxis_, Qt::AlignBottom);

  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    auto* axis = new QValueAxis;
    axis->setTitleText(AxisTitle(static_cast<UnitGroup>(g), groupUnits_[g]));
    axis->setVisible(false);
    chart_->addAxis(axis, workbench::kAxisOnLeft[g] ? Qt::AlignLeft : Qt::AlignRight);
    groupAxes_[g] = axis;
  }
  // The first and the last time label stand half outside the plot: the margins leave room for
  // them whether or not a value axis stands beside the plot.
  const int halfLabel =
      QFontMetrics(timeAxis_->labelsFont()).horizontalAdvance(kWidestTimeLabel) / 2;
  chart_->setMargins(
      QMargins(kChartMargin + halfLabel, kChartMargin, kChartMargin + halfLabel, kChartMargin));

  view_ = new TrendTabView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumSize(400, 360);
  view_->onWheelZoom = [this](double factor, QPointF at) {
    const QRectF plot = chart_->plotArea();
    const workbench::TrendAxis& axis = columns_.axis();
    const double from = MsSinceEpoch(axis.from);
    const double share = plot.width() > 0 ? (at.x() - plot.left()) / plot.width() : 1.0;
    ZoomTime(factor, from + share * (MsSinceEpoch(axis.to) - from));
  };
  view_->onBoxZoom = [this](const QRectF& box) { ZoomToBox(box); };
  view_->onPan = [this](QPointF pixels) { PanBy(pixels); };
  view_->onReset = [this] { ResetZoom(); };
}

void TrendTab::AddDrawnSeries(TrendSeries s, QXYSeries* drawn) {
  chart_->addSeries(drawn);
  drawn->attachAxis(timeAxis_);
  drawn->attachAxis(groupAxes_[Index(workbench::GroupOf(s))]);
  connect(drawn, &QXYSeries::hovered, this,
          [this, s](const QPointF& point, bool state) { ShowHover(s, point, state); });
}

void TrendTab::HideFromLegend(QXYSeries* drawn) {
  for (QLegendMarker* marker : chart_->legend()->markers(drawn)) marker->setVisible(false);
}

void TrendTab::MakeDrawn(TrendSeries s) {
  auto* line = new QLineSeries;
  line->setName(QString::fromUtf8(workbench::SeriesName(s)));
  line->setPen(SeriesPen(s));
  AddDrawnSeries(s, line);
  series_[Index(s)] = line;

  auto* dots = new QScatterSeries;
  dots->setMarkerSize(kLonePointSize);
  dots->setColor(SeriesPen(s).color());
  dots->setBorderColor(SeriesPen(s).color());
  AddDrawnSeries(s, dots);
  HideFromLegend(dots);
  lonePoints_[Index(s)] = dots;

  // The legend lists the series in the order they were added: the first lines of the shown
  // series after this one are added again, so that it keeps the order of the check boxes.
  for (std::size_t later = Index(s) + 1; later < workbench::kTrendSeriesCount; ++later) {
    QLineSeries* first = series_[later];
    if (first == nullptr) continue;
    chart_->removeSeries(first);
    chart_->addSeries(first);
    first->attachAxis(timeAxis_);
    first->attachAxis(groupAxes_[Index(workbench::GroupOf(static_cast<TrendSeries>(later)))]);
  }
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
  for (TrendSeries s : workbench::kShownAtStart) boxes_[Index(s)]->setChecked(true);

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
  store_.Append(block);
  RedrawWhenInView();
}

void TrendTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) RedrawWhenInView();
}

void TrendTab::RedrawWhenInView() {
  if (paused_ || !isVisible()) {
    stale_ = true;
    return;
  }
  Redraw();
}

void TrendTab::SetSeriesShown(TrendSeries s, bool shown) {
  QCheckBox* tick = boxes_[Index(s)];
  if (tick != nullptr && tick->isChecked() != shown) {
    tick->setChecked(shown);  // comes back here through the toggle
    return;
  }
  // Only the shown series have anything in the chart: each drawn series costs the chart its
  // items and a legend entry, shown or not.
  if (shown && series_[Index(s)] == nullptr) MakeDrawn(s);
  if (!shown) DeleteDrawn(s);
  // A paused view stays as it was; a series ticked meanwhile fills in when the view runs again.
  stale_ = true;
  RedrawWhenInView();
}

void TrendTab::SetSpan(std::chrono::minutes span) {
  span_ = span;
  ForgetZoom();  // a span chosen follows the newest block again
  stale_ = true;
  RedrawWhenInView();
}

void TrendTab::SetPaused(bool paused) {
  if (pauseButton_->isChecked() != paused) {
    pauseButton_->setChecked(paused);  // comes back here through the toggle
    return;
  }
  paused_ = paused;
  if (!paused_) RedrawWhenInView();
}

workbench::SeriesSet TrendTab::Shown() const {
  workbench::SeriesSet shown;
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    shown[s] = series_[s] != nullptr;
  }
  return shown;
}

std::size_t TrendTab::ColumnCount() const {
  const auto width = static_cast<std::size_t>(std::max(0.0, chart_->plotArea().width()));
  return workbench::TrendColumnCount(width, Shown().count());
}

workbench::TrendAxis TrendTab::CurrentAxis() const {
  if (zoom_) return workbench::WindowAxis(zoom_->from, zoom_->to, ColumnCount());
  return workbench::AxisFor(store_.At(store_.size() - 1).time, span_, ColumnCount());
}

void TrendTab::RedrawForUser() {
  stale_ = true;
  if (isVisible()) Redraw();
}

void TrendTab::Redraw() {
  if (store_.restarts() != restartsSeen_) {
    // The clock was set back: a zoomed stretch belongs to times the trend no longer has.
    restartsSeen_ = store_.restarts();
    ForgetZoom();
    stale_ = true;
  }
  if (store_.size() == 0) {
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      ClearDrawn(static_cast<TrendSeries>(s));
    }
    stale_ = false;
    return;
  }
  const workbench::TrendAxis axis = CurrentAxis();
  auto [changed, rebuild] = columns_.Refresh(store_, axis, Shown(), stale_);
  stale_ = false;
  changed |= FitGroupAxes();
  if (rebuild) {
    // An axis change lays out every point of the series on it: empty them first, so that only
    // the replace below pays for their points.
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      if (changed[s]) ClearDrawn(static_cast<TrendSeries>(s));
    }
    timeAxis_->setRange(LocalTime(axis.from), LocalTime(axis.to));
    if (timeAxis_->tickCount() != axis.TickCount()) timeAxis_->setTickCount(axis.TickCount());
  }
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    if (changed[s]) Replace(static_cast<TrendSeries>(s));
  }
}

workbench::SeriesSet TrendTab::FitGroupAxes() {
  // Each group's range over its shown series only, so the axis fits what is drawn.
  auto [used, low, high] = columns_.ShownExtremes();
  const workbench::SeriesSet shown = columns_.shown();
  workbench::SeriesSet moved;
  // One set of horizontal grid lines, the first shown group's: more would not line up, and each
  // set is painted again with every block.
  const auto gridGroup =
      static_cast<std::size_t>(std::find(used.begin(), used.end(), true) - used.begin());
  for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
    QValueAxis* axis = groupAxes_[g];
    axis->setVisible(used[g]);
    if (axis->isGridLineVisible() != (g == gridGroup)) axis->setGridLineVisible(g == gridGroup);
    if (!used[g]) {
      groupFitted_[g] = false;
      continue;
    }
    const auto group = static_cast<UnitGroup>(g);
    if (fixedRanges_[g]) {
      // Zoomed with a box: the axis stays where the box put it.
      low[g] = fixedRanges_[g]->low;
      high[g] = fixedRanges_[g]->high;
    }
    const workbench::UnitChoice unit =
        workbench::ChooseUnit(group, std::max(std::abs(low[g]), std::abs(high[g])));
    const double dataLow = low[g] / unit.divisor;
    const double dataHigh = high[g] / unit.divisor;
    const workbench::ValueBounds padded = workbench::PaddedBounds(dataLow, dataHigh);
    const double lo = padded.low;
    const double hi = padded.high;
    // An axis that still holds the data and is not much wider than it stays as it is: the
    // scale does not twitch with every block, and its labels are not laid out again.
    const bool holds = !fixedRanges_[g] && groupFitted_[g] &&
                       unit.divisor == groupUnits_[g].divisor && dataLow >= axis->min() &&
                       dataHigh <= axis->max() &&
                       hi - lo >= workbench::kLeastAxisFill * (axis->max() - axis->min());
    if (holds) continue;
    groupFitted_[g] = true;
    const workbench::NiceRange nice =
        fixedRanges_[g] ? workbench::NiceRange{dataLow, dataHigh, kFixedAxisSteps + 1}
                        : workbench::MakeNice(lo, hi);
    const QString title = AxisTitle(group, unit);
    const QString format = LabelFormat(hi - lo);
    const bool same = unit.divisor == groupUnits_[g].divisor && axis->titleText() == title &&
                      axis->labelFormat() == format && axis->tickCount() == nice.ticks &&
                      axis->min() == nice.low && axis->max() == nice.high;
    if (same) continue;
    groupUnits_[g] = unit;
    for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
      if (shown[s] && Index(workbench::GroupOf(static_cast<TrendSeries>(s))) == g) {
        moved[s] = true;
        ClearDrawn(static_cast<TrendSeries>(s));  // as above: the new axis lays out no old points
      }
    }
    // Each setting lays the axis's labels out anew: only what changed is set.
    if (axis->titleText() != title) axis->setTitleText(title);
    if (axis->labelFormat() != format) axis->setLabelFormat(format);
    if (axis->tickCount() != nice.ticks) axis->setTickCount(nice.ticks);
    axis->setRange(nice.low, nice.high);
  }
  return moved;
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
  const double divisor = groupUnits_[Index(workbench::GroupOf(s))].divisor;
  const std::vector<workbench::TrendPoint>& points = columns_.Points(s);
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
    HideFromLegend(line);  // the first line stands for the series
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
  if (store_.size() == 0 || !(factor > 0)) return;
  const workbench::TrendAxis& axis = columns_.axis();
  const double from = MsSinceEpoch(axis.from);
  const double to = MsSinceEpoch(axis.to);
  const double centre = std::clamp(centreMs, from, to);
  const double share = (centre - from) / (to - from);
  const double width = (to - from) * factor;
  ZoomTo(centre - share * width, centre + (1 - share) * width);
}

void TrendTab::ZoomTo(double fromMs, double toMs) {
  const double least = std::chrono::duration<double, std::milli>(kNarrowestZoom).count();
  const double most = std::chrono::duration<double, std::milli>(kWidestZoom).count();
  const double width = std::clamp(toMs - fromMs, least, most);
  const double centre = (fromMs + toMs) / 2;
  zoom_ = Stretch{FromMs(centre - width / 2), FromMs(centre + width / 2)};
  RedrawForUser();
}

void TrendTab::ZoomToBox(const QRectF& box) {
  const QRectF plot = chart_->plotArea();
  const QRectF inside = box.normalized().intersected(plot);
  if (store_.size() == 0 || inside.width() <= 0 || plot.width() <= 0) return;
  const workbench::TrendAxis& axis = columns_.axis();
  const double from = MsSinceEpoch(axis.from);
  const double msPerPixel = (MsSinceEpoch(axis.to) - from) / plot.width();
  if (inside.height() >= kLeastBoxHeight) {
    for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
      const QValueAxis* values = groupAxes_[g];
      if (!values->isVisible()) continue;
      const double perPixel = (values->max() - values->min()) / plot.height();
      const double divisor = groupUnits_[g].divisor;
      fixedRanges_[g] =
          ValueRange{(values->max() - (inside.bottom() - plot.top()) * perPixel) * divisor,
                     (values->max() - (inside.top() - plot.top()) * perPixel) * divisor};
    }
  }
  ZoomTo(from + (inside.left() - plot.left()) * msPerPixel,
         from + (inside.right() - plot.left()) * msPerPixel);
}

void TrendTab::PanBy(QPointF pixels) {
  const QRectF plot = chart_->plotArea();
  if (store_.size() == 0 || plot.width() <= 0 || plot.height() <= 0) return;
  const workbench::TrendAxis& axis = columns_.axis();
  const double from = MsSinceEpoch(axis.from);
  const double to = MsSinceEpoch(axis.to);
  // The content follows the mouse: dragged to the right, earlier times come into view.
  const double shiftMs = -pixels.x() * (to - from) / plot.width();
  if (pixels.y() != 0) {
    for (std::size_t g = 0; g < workbench::kUnitGroupCount; ++g) {
      const QValueAxis* values = groupAxes_[g];
      if (!values->isVisible()) continue;
      const double divisor = groupUnits_[g].divisor;
      const double shift = pixels.y() * (values->max() - values->min()) / plot.height() * divisor;
      fixedRanges_[g] =
          ValueRange{values->min() * divisor + shift, values->max() * divisor + shift};
    }
  }
  zoom_ = Stretch{FromMs(from + shiftMs), FromMs(to + shiftMs)};
  RedrawForUser();
}

void TrendTab::ForgetZoom() {
  zoom_.reset();
  fixedRanges_.fill(std::nullopt);
  groupFitted_.fill(false);
}

void TrendTab::ResetZoom() {
  ForgetZoom();
  RedrawForUser();
}

void TrendTab::ShowHover(TrendSeries s, const QPointF& point, bool entered) {
  if (!entered) {
    hoverLabel_->clear();
    QToolTip::hideText();
    return;
  }
  const workbench::UnitChoice& unit = groupUnits_[Index(workbench::GroupOf(s))];
  const QString time =
      QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(point.x())).toString(kTimeFormat);
  QString text = QStringLiteral("%1  %2 %3")
                     .arg(time, QString::fromUtf8(workbench::SeriesName(s)),
                          QString::number(point.y(), 'f', 3));
  if (*unit.unit) text += QStringLiteral(" ") + QString::fromUtf8(unit.unit);
  hoverLabel_->setText(text);
  QToolTip::showText(QCursor::pos(), text, view_);
}

QString TrendTab::ExportTitle() const {
  const QString date = QStringLiteral("yyyy-MM-dd");
  if (store_.size() == 0) {
    return QStringLiteral("趋势  %1").arg(QDateTime::currentDateTime().toString(date));
  }
  const QDateTime from = LocalTime(columns_.axis().from);
  const QDateTime to = LocalTime(columns_.axis().to);
  const QString toText = from.date() == to.date()
                             ? to.toString(kTimeFormat)
                             : to.toString(date + QStringLiteral(" ") + kTimeFormat);
  return QStringLiteral("趋势  %1 %2 至 %3")
      .arg(from.toString(date), from.toString(kTimeFormat), toText);
}

QImage TrendTab::ExportImage() {
  // The chart lays itself out when the event loop comes round: a picture taken before would show
  // axes and labels where they stood before the last change.
  if (chart_->layout() != nullptr) chart_->layout()->activate();
  const QPixmap shown = view_->grab();
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

bool TrendTab::ExportPng(const QString& path) {
  if (!ExportImage().save(path, "PNG")) return false;
  QSettings().setValue(QString::fromLatin1(kExportFolderKey), QFileInfo(path).absolutePath());
  return true;
}

QString TrendTab::ExportFolder() const {
  QString last = QSettings().value(QString::fromLatin1(kExportFolderKey)).toString();
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  return QDir::homePath();
}

void TrendTab::ChooseExportFile() {
  const QString name =
      QStringLiteral("趋势-%1.png")
          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出图片"),
                                              QDir(ExportFolder()).filePath(name),
                                              QStringLiteral("PNG 图片 (*.png)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
  if (!ExportPng(path)) {
    QMessageBox::warning(this, QStringLiteral("导出图片"),
                         QStringLiteral("无法保存图片：%1").arg(path));
  }
}

}  // namespace kt::ui::qt
