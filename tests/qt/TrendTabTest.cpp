// The trend tab against the clock set back and forward, gaps in the polling, ratio changes, the
// exported picture, and zoom and pan while blocks keep arriving.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "GuiTestSupport.h"
#include "PixelCount.h"
#include "ShownTrendTab.h"
#include "qt/workbench/PhaseColours.h"
#include "qt/workbench/TrendLegend.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

using namespace shown_tabs;
using ShownTab = ShownTrendTab;
using enum TrendSeries;

// The meter's block at `t`, polled every `pollMs`.
values::MeasuredBlock Block(SimulatedBlocks& meter, std::chrono::milliseconds t,
                            uint32_t pollMs = 500) {
  values::MeasuredBlock b = meter.At(kStart + t);
  b.pollPeriodMs = pollMs;
  return b;
}

std::size_t DrawnPoints(const TrendTab& tab, TrendSeries s) {
  auto n = static_cast<std::size_t>(tab.LonePoints(s).size());
  for (const auto& line : tab.DrawnLines(s)) n += static_cast<std::size_t>(line.size());
  return n;
}

void ShowOnly(TrendTab& tab, TrendSeries only) {
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    tab.SetSeriesShown(static_cast<TrendSeries>(s), static_cast<TrendSeries>(s) == only);
  }
}

// A shown tab and the simulated meter that feeds it.
struct TrendTabTest : ::testing::Test {
  ShownTab tab;
  SimulatedBlocks meter;
};

TEST_F(TrendTabTest, PauseFreezesTheViewWhileBlocksKeepComing) {
  tab.SetSpan(1min);
  const auto add = [&](int from, int to) {
    for (int n = from; n < to; ++n) tab.AddBlock(meter.At(kStart + n * 1s));
  };
  add(0, 10);
  const QLineSeries& ua = *tab.series(PhaseVoltageA);
  ASSERT_EQ(ua.count(), 10);
  EXPECT_NEAR(ua.at(9).y(), 220.0, 5.0);
  tab.SetPaused(true);
  add(10, 15);
  EXPECT_EQ(ua.count(), 10);
  EXPECT_EQ(tab.storedBlocks(), 15u);
  tab.SetPaused(false);
  EXPECT_EQ(ua.count(), 15);
  // Out of sight it only stores, and catches up when shown.
  tab.hide();
  add(15, 25);
  EXPECT_EQ(ua.count(), 15);
  tab.show();
  EXPECT_EQ(ua.count(), 25);
  EXPECT_EQ(ua.points().back().x(), Ms(kStart + 24s));
}

TEST_F(TrendTabTest, SpanAndThinningKeepTheWindowAndItsPeaks) {
  tab.SetSpan(60min);
  tab.SetPaused(true);
  for (int n = 0; n < 7200; ++n) {
    values::MeasuredBlock b = meter.At(kStart + n * 500ms);
    if (n == 3001) b[Quantity::PhaseVoltageA] = 300.0;  // one short swell
    tab.AddBlock(b);
  }
  tab.SetPaused(false);
  const QLineSeries& ua = *tab.series(PhaseVoltageA);
  const auto points = ua.points();
  ASSERT_FALSE(points.isEmpty());
  EXPECT_LT(points.size(), 7200 / 2);
  const double peak = std::max_element(points.begin(), points.end(), [](auto& a, auto& b) {
                        return a.y() < b.y();
                      })->y();
  EXPECT_DOUBLE_EQ(peak, 300.0);

  // On the minute's axis (70 s: tests/workbench) each block is a point of its own.
  tab.SetSpan(1min);
  const auto lastMinute = ua.points();
  ASSERT_FALSE(lastMinute.isEmpty());
  EXPECT_EQ(lastMinute.front().x(), tab.timeAxis().min());
  EXPECT_EQ(lastMinute.back().x(), Ms(kStart + 7199 * 500ms));
  EXPECT_EQ(lastMinute.size(), 140);
}

// The clock set back within the hour's axis shows the new trend at once (no old point, the new
// block drawn); a zoom made before a set-back is forgotten.
TEST_F(TrendTabTest, SetBackShowsOnlyTheNewTrendAtOnce) {
  tab.SetSpan(60min);
  for (int n = 0; n <= 120; ++n) tab.AddBlock(Block(meter, n * 1s, 1000));
  ASSERT_GT(DrawnPoints(tab, PhaseVoltageA), 10u);
  const double axisEnd = tab.timeAxis().max();

  tab.AddBlock(Block(meter, 90s, 1000));  // 30 s back: the axis stays
  EXPECT_EQ(tab.timeAxis().max(), axisEnd);
  EXPECT_EQ(tab.storedBlocks(), 1u);
  EXPECT_EQ(DrawnPoints(tab, PhaseVoltageA), 1u);
  for (int n = 91; n <= 100; ++n) tab.AddBlock(Block(meter, n * 1s, 1000));
  const auto afresh = tab.DrawnLines(PhaseVoltageA);
  ASSERT_EQ(afresh.size(), 1u);
  for (const QPointF& p : afresh[0]) EXPECT_GE(p.x(), Ms(kStart + 90s));
  EXPECT_GE(afresh[0].size(), 2);

  tab.ZoomTime(0.5, Ms(kStart + 120s));
  ASSERT_TRUE(tab.zoomed());
  tab.AddBlock(Block(meter, 10s, 1000));
  EXPECT_FALSE(tab.zoomed());
  EXPECT_EQ(DrawnPoints(tab, PhaseVoltageA), 1u);
}

// Blocks every 500 ms with two 16 s unplugs: the plot stays empty where no block came, and the
// block alone between the gaps is a dot.
TEST_F(TrendTabTest, AGapInThePollingIsDrawnAsABreak) {
  tab.SetSpan(1min);
  ShowOnly(tab, PhaseVoltageA);
  for (int n = 0; n <= 10; ++n) tab.AddBlock(Block(meter, n * 500ms));  // to 5 s
  tab.AddBlock(Block(meter, 21s));                                      // alone
  for (int n = 0; n <= 10; ++n) tab.AddBlock(Block(meter, 37s + n * 500ms));
  ASSERT_EQ(tab.DrawnLines(PhaseVoltageA).size(), 2u);
  ASSERT_EQ(tab.LonePoints(PhaseVoltageA).size(), 1);
  EXPECT_EQ(tab.LonePoints(PhaseVoltageA)[0].x(), Ms(kStart + 21s));

  QApplication::processEvents();
  const QImage image = tab.chartView().grab().toImage();
  const QRectF plot = tab.chartView().chart()->plotArea();
  const double from = tab.timeAxis().min();
  const double to = tab.timeAxis().max();
  const auto xAt = [&](std::chrono::milliseconds t) {
    return static_cast<int>(plot.left() + (Ms(kStart + t) - from) / (to - from) * plot.width());
  };
  const auto linePixels = [&](int left, int right) {
    const int top = static_cast<int>(plot.top());
    return test::PixelsNear(
        image, QRect(left, top, right - left + 1, static_cast<int>(plot.bottom()) - top),
        PhaseColour(0), 60);
  };
  EXPECT_GT(linePixels(xAt(1s), xAt(4s)), 0);
  EXPECT_EQ(linePixels(xAt(7s), xAt(19s)), 0);
  EXPECT_GT(linePixels(xAt(21s) - 2, xAt(21s) + 2), 0);
  EXPECT_EQ(linePixels(xAt(23s), xAt(35s)), 0);
  EXPECT_GT(linePixels(xAt(38s), xAt(41s)), 0);
}

// A line and its dots for each ticked quantity, named in the legend in the order of the boxes.
TEST_F(TrendTabTest, OnlyTickedQuantitiesAreInTheChartInTheOrderOfTheBoxes) {
  const QChart& chart = *tab.chartView().chart();
  const auto legend = [&] {
    QStringList names;
    for (const auto& e : tab.legend().LaidOut(tab.legend().width()).entries) {
      names << QString::fromStdString(e.name);
    }
    return names;
  };
  const auto names = [](std::initializer_list<TrendSeries> shown) {
    QStringList n;
    for (TrendSeries s : shown) n << QString::fromUtf8(workbench::SeriesName(s));
    return n;
  };
  const QStringList ticked = names({PhaseVoltageA, TotalPowerFactor, Frequency});
  EXPECT_EQ(legend(), names({PhaseVoltageA, PhaseVoltageB, PhaseVoltageC, CurrentA, CurrentB,
                             CurrentC, TotalActivePower}));
  EXPECT_EQ(chart.series().size(), 14);

  ShowOnly(tab, Frequency);
  tab.SetSeriesShown(TotalPowerFactor, true);
  tab.SetSeriesShown(PhaseVoltageA, true);
  EXPECT_EQ(legend(), ticked);
  EXPECT_EQ(chart.series().size(), 6);
  EXPECT_EQ(tab.series(CurrentA), nullptr);

  // A series ticked again after a gap draws its lines afresh.
  for (int n = 0; n <= 4; ++n) tab.AddBlock(Block(meter, n * 500ms));
  for (int n = 0; n <= 4; ++n) tab.AddBlock(Block(meter, 20s + n * 500ms));
  EXPECT_EQ(tab.DrawnLines(Frequency).size(), 2u);
  tab.SetSeriesShown(Frequency, false);
  EXPECT_TRUE(tab.DrawnLines(Frequency).empty());
  EXPECT_EQ(chart.series().size(), 6);  // two lines and the dots of the other two each
  tab.SetSeriesShown(Frequency, true);
  EXPECT_EQ(tab.DrawnLines(Frequency).size(), 2u);
  EXPECT_EQ(legend(), ticked);
  ShowOnly(tab, Frequency);
  tab.SetSeriesShown(Frequency, false);
  EXPECT_TRUE(chart.series().isEmpty());
}

// After the ratios change from 1 to PT 100 and CT 20, the axes of values that are all positive
// start at zero or above; a flat zero current starts its axis at zero; power while exported
// reaches below zero.
TEST_F(TrendTabTest, AxesOfPositiveValuesStayAtOrAboveZeroAfterARatioChange) {
  tab.SetSpan(1min);
  for (std::size_t s = 0; s < workbench::kTrendSeriesCount; ++s) {
    tab.SetSeriesShown(static_cast<TrendSeries>(s), true);
  }
  SimulatedBlocks throughTransformers({"--pt", "100", "--ct", "20"});
  for (int n = 0; n < 20; ++n) tab.AddBlock(Block(meter, n * 1s));
  for (int n = 20; n < 30; ++n) tab.AddBlock(Block(throughTransformers, n * 1s));
  for (UnitGroup g : {UnitGroup::Voltage, UnitGroup::Current, UnitGroup::ActivePower,
                      UnitGroup::ApparentPower, UnitGroup::Frequency}) {
    ASSERT_TRUE(tab.axis(g).isVisible()) << static_cast<int>(g);
    EXPECT_GE(tab.axis(g).min(), 0.0) << tab.axis(g).titleText().toStdString();
  }
  // Each axis in the unit of its largest value (chosen: tests/workbench), the series so scaled.
  EXPECT_TRUE(tab.axis(UnitGroup::Voltage).titleText().endsWith("(KV)"));
  EXPECT_TRUE(tab.axis(UnitGroup::ActivePower).titleText().endsWith("(MW)"));
  EXPECT_NEAR(tab.series(PhaseVoltageA)->points().back().y(), 22.0, 0.5);

  ShownTab zero;
  zero.SetSpan(1min);
  for (int n = 0; n < 10; ++n) {
    values::MeasuredBlock b = Block(meter, n * 1s);
    b[Quantity::CurrentA] = b[Quantity::CurrentB] = b[Quantity::CurrentC] = 0.0;
    b[Quantity::TotalActivePower] = n < 5 ? 1500.0 : -1500.0;
    zero.AddBlock(b);
  }
  EXPECT_EQ(zero.axis(UnitGroup::Current).min(), 0.0);
  EXPECT_GT(zero.axis(UnitGroup::Current).max(), 0.0);
  EXPECT_LT(zero.axis(UnitGroup::ActivePower).min(), -1.5);   // kW
  EXPECT_GT(zero.axis(UnitGroup::Voltage).min(), 110.0);      // scaled to the data, not from 0
  EXPECT_FALSE(zero.axis(UnitGroup::Frequency).isVisible());  // not shown at first
}

// "导出图片…" starts in the home folder, then in the folder last saved to (also in the next tab),
// and in the home folder again once that folder is gone; a folder that is not there is refused.
// The picture is the chart as laid out under the date and the time range.
TEST(TrendTabExport, StartsInTheLastFolderAndWritesTheDateAndTimeRange) {
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QSettings().remove(QString::fromLatin1(TrendTab::kExportFolderKey));
  ShownTab tab;
  tab.SetSpan(1min);
  EXPECT_EQ(tab.ExportFolder(), QDir::homePath());

  SimulatedBlocks meter;
  for (int n = 0; n < 20; ++n) tab.AddBlock(Block(meter, n * 1s));
  auto folder = std::make_unique<QTemporaryDir>();
  const QString saved = QDir(folder->path()).absolutePath();
  const QString path = folder->filePath(QStringLiteral("趋势.png"));
  const QImage exported = tab.ExportImage();
  ASSERT_EQ(tab.ExportPng(path), QString());
  EXPECT_EQ(QImage(path).size(), exported.size());  // the picture as written
  // Told below the chart, as the other tabs tell a failed save.
  const QString missing = folder->filePath(QStringLiteral("missing/趋势.png"));
  EXPECT_EQ(tab.ExportPng(missing), QStringLiteral("无法保存图片：") + missing);
  const auto labels = tab.findChildren<QLabel*>();
  EXPECT_NE(std::ranges::find(labels, tab.ExportPng(missing), &QLabel::text), labels.end());
  EXPECT_EQ(tab.ExportFolder(), saved);
  EXPECT_EQ(ShownTab().ExportFolder(), saved);

  // The dialog itself opens there.
  QString dialogFolder;
  QTimer poll;  // ends with the test, as the dialog should
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(test::ActiveModal())) {
      dialogFolder = dialog->directory().absolutePath();
      dialog->reject();
      poll.stop();
    }
  });
  poll.start(10);
  for (QPushButton* button : tab.findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("导出图片…")) button->click();
  }
  EXPECT_EQ(dialogFolder, saved);

  // Newest block at 19 s: the minute's axis runs from 50 s before the start to 20 s after it.
  const QDateTime from = QDateTime::fromMSecsSinceEpoch(qint64(Ms(kStart - 50s)));
  const QDateTime to = QDateTime::fromMSecsSinceEpoch(qint64(Ms(kStart + 20s)));
  const QString title = tab.ExportTitle();
  EXPECT_TRUE(title.contains(from.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))))
      << title.toStdString();
  EXPECT_TRUE(title.contains(to.toString(QStringLiteral("HH:mm:ss")))) << title.toStdString();
  if (from.date() != to.date()) {
    EXPECT_TRUE(title.contains(to.toString(QStringLiteral("yyyy-MM-dd")))) << title.toStdString();
  }

  QApplication::processEvents();
  const QImage laidOut = tab.chartView().grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int band = exported.height() - tab.chartView().parentWidget()->height();
  ASSERT_GT(band, QFontMetrics(tab.font()).height());
  EXPECT_EQ(exported.copy(0, band, laidOut.width(), laidOut.height()), laidOut);
  // Below the chart the legend: a line in each shown series' colour.
  const QRect legend(0, band + laidOut.height(), exported.width(), exported.height());
  for (const TrendSeries s : workbench::kShownAtStart) {
    const workbench::Rgb rgb = workbench::SeriesColour(s);
    EXPECT_GE(test::PixelsNear(exported, legend, QColor(rgb.red, rgb.green, rgb.blue), 30), 12)
        << workbench::SeriesName(s);
  }
  int inked = 0;
  for (int y = 0; y < band; ++y) {
    for (int x = 0; x < exported.width(); ++x) inked += exported.pixelColor(x, y).lightness() < 128;
  }
  EXPECT_GT(inked, 50);

  folder.reset();
  EXPECT_EQ(tab.ExportFolder(), QDir::homePath());
}

// Zoomed with the wheel, by a box and panned, the axes stay while blocks keep arriving, and
// blocks past the stretch redraw nothing; the reset brings back the span that follows the blocks.
TEST_F(TrendTabTest, ZoomAndPanHoldWhileBlocksArriveUntilReset) {
  tab.SetSpan(1min);
  std::chrono::milliseconds t{0};
  const auto add = [&](int blocks, double volts = 0) {
    for (int n = 0; n < blocks; ++n, t += 1s) {
      values::MeasuredBlock b = Block(meter, t, 1000);
      if (volts > 0) b[Quantity::PhaseVoltageA] = volts;
      tab.AddBlock(b);
    }
  };
  const QValueAxis& volts = tab.axis(UnitGroup::Voltage);
  const auto timeRange = [&] { return std::pair(tab.timeAxis().min(), tab.timeAxis().max()); };
  const auto voltRange = [&] { return std::pair(volts.min(), volts.max()); };
  const auto width = [](std::pair<double, double> range) { return range.second - range.first; };
  add(60);
  QApplication::processEvents();
  QWidget* viewport = tab.chartView().viewport();
  const QRectF plot = tab.chartView().chart()->plotArea();
  const auto at = [&](double x, double y) {  // shares of the plot's width and height
    return tab.chartView().mapFromScene(
        QPointF(plot.left() + x * plot.width(), plot.top() + y * plot.height()));
  };
  const QPoint middle = at(0.5, 0.5);

  // One notch of the wheel narrows the axis around the mouse.
  const auto before = timeRange();
  QWheelEvent wheel(QPointF(middle), viewport->mapToGlobal(QPointF(middle)), QPoint(),
                    QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &wheel);
  ASSERT_TRUE(tab.zoomed());
  const auto wheeled = timeRange();
  EXPECT_NEAR(width(wheeled), 0.8 * width(before), 2.0);
  EXPECT_GT(wheeled.first, before.first);
  EXPECT_LT(wheeled.second, before.second);

  int replaced = 0;
  QObject::connect(tab.series(PhaseVoltageA), &QLineSeries::pointsReplaced, [&] { ++replaced; });
  add(10);  // after the stretch: nothing to draw
  EXPECT_EQ(timeRange(), wheeled);
  EXPECT_EQ(replaced, 0);

  // A box over the middle half fixes the value axes too; a swell inside the stretch does not
  // move them.
  QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at(0.25, 0.25));
  QTest::mouseMove(viewport, at(0.75, 0.75));
  QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at(0.75, 0.75));
  const auto boxed = timeRange();
  EXPECT_NEAR(width(boxed), 0.5 * width(wheeled), 200.0);
  const auto boxedVolts = voltRange();

  // A drag to the left with the right button brings later times in by the share of the plot the
  // mouse moved: past the newest block.
  const int shift = static_cast<int>(plot.width() * 3 / 2);
  QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, middle);
  QTest::mouseMove(viewport, middle - QPoint(shift, 0));
  QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, middle - QPoint(shift, 0));
  const auto panned = timeRange();
  EXPECT_NEAR(panned.first - boxed.first, width(boxed) * shift / plot.width(), 200.0);
  EXPECT_EQ(voltRange(), boxedVolts);
  ASSERT_GT(panned.second, Ms(kStart + t + 3s));

  add(3, 300.0);  // inside the stretch
  EXPECT_EQ(timeRange(), panned);
  EXPECT_EQ(voltRange(), boxedVolts);
  EXPECT_EQ(tab.DrawnLines(PhaseVoltageA).back().back().x(), Ms(kStart + t - 1s));
  for (const auto& line : tab.DrawnLines(PhaseVoltageA)) {
    for (const QPointF& p : line) {
      EXPECT_GE(p.x(), panned.first);
      EXPECT_LE(p.x(), panned.second);
    }
  }

  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, middle);
  EXPECT_FALSE(tab.zoomed());
  const auto buttons = tab.findChildren<QPushButton*>();  // "复位" tells these gestures
  const auto reset = std::ranges::find(buttons, QStringLiteral("复位"), &QPushButton::text);
  ASSERT_NE(reset, buttons.end());
  EXPECT_EQ((*reset)->toolTip().toStdString(), workbench::kResetZoomTip);
  EXPECT_GE(tab.timeAxis().max(), Ms(kStart + t - 1s));
  EXPECT_GE(volts.max(), 300.0);

  // Choosing a span follows the newest block again.
  tab.ZoomTime(0.5, Ms(kStart + 30s));
  ASSERT_TRUE(tab.zoomed());
  tab.SetSpan(10min);
  EXPECT_FALSE(tab.zoomed());
}

}  // namespace
// The pointer on a drawn point tells its time and value below the chart, 40 px off it nothing.
TEST_F(TrendTabTest, TellsTheValueOfThePointUnderIt) {
  ShowOnly(tab, Frequency);
  tab.SetSpan(1min);
  for (int n = 0; n < 20; ++n) tab.AddBlock(Block(meter, n * 1s));
  auto* hz = const_cast<QLineSeries*>(tab.series(Frequency));
  const QPointF point = hz->at(10);
  QChartView& view = tab.chartView();
  const QPoint at = view.mapFromScene(view.chart()->mapToPosition(point, hz));
  const auto move = [&](QPoint to) {
    QMouseEvent event(QEvent::MouseMove, QPointF(to), view.viewport()->mapToGlobal(QPointF(to)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
  };
  move(at);
  const QString time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(point.x()))
                           .toString(QStringLiteral("HH:mm:ss"));
  EXPECT_EQ(tab.pointedValue(),
            time + QStringLiteral("  频率 ") + QString::number(point.y(), 'f', 3) + " Hz");
  move(at + QPoint(0, 40));
  EXPECT_TRUE(tab.pointedValue().isEmpty()) << tab.pointedValue().toStdString();
}

}  // namespace kt::ui::qt
