// The trend tab at a full hour of data with every series shown: one block added and the chart
// brought up to date; the same when every block moves the time axis on (the dearest block); the
// same with the window's repaint of what changed; and the whole chart painted afresh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cmath>

#include "qt/workbench/TrendTab.h"
#include "workbench/TrendColumns.h"

namespace {

using kt::ui::qt::TrendTab;
using kt::values::MeasuredBlock;
using kt::values::Quantity;
namespace wb = kt::workbench;

// A load that moves: every quantity follows its own slow wave with some ripple.
MeasuredBlock BlockAt(std::chrono::milliseconds t) {
  MeasuredBlock b;
  b.time = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000)) + t;
  const double s = static_cast<double>(t.count()) / 1000.0;
  for (std::size_t i = 0; i < b.values.size(); ++i) {
    b.values[i] =
        (100.0 + 10.0 * static_cast<double>(i)) *
        (1.0 + 0.1 * std::sin(s / (60.0 + static_cast<double>(i))) + 0.01 * std::sin(s * 7.0));
  }
  b[Quantity::Frequency] = 50.0 + 0.05 * std::sin(s / 30.0);
  return b;
}

// The tab on screen (offscreen), every series ticked, the 60-minute span, an hour of blocks.
struct FullTab {
  TrendTab tab;
  std::chrono::milliseconds next{0};

  explicit FullTab(int spanMinutes) {
    tab.resize(1180, 660);
    tab.show();
    for (std::size_t s = 0; s < wb::kTrendSeriesCount; ++s) {
      tab.SetSeriesShown(static_cast<wb::TrendSeries>(s), true);
    }
    tab.SetSpan(std::chrono::minutes(spanMinutes));
    QApplication::processEvents();
    tab.SetPaused(true);
    for (int i = 0; i < 7200; ++i) Add();
    tab.SetPaused(false);
    QApplication::processEvents();
  }
  void Add(std::chrono::milliseconds after = std::chrono::milliseconds(500)) {
    tab.AddBlock(BlockAt(next));
    next += after;
  }
};

// The argument of each benchmark is the span shown, in minutes: 1, 10 and 60.
void EachSpan(benchmark::internal::Benchmark* b) {
  b->Arg(1)->Arg(10)->Arg(60)->Unit(benchmark::kMillisecond);
}

void BM_TrendAddBlockHourAllSeries(benchmark::State& state) {
  FullTab full(static_cast<int>(state.range(0)));
  for (auto _ : state) full.Add();
}
BENCHMARK(BM_TrendAddBlockHourAllSeries)->Apply(EachSpan);

// Each block lands a whole tick after the one before, so the axis moves and every series is laid
// out afresh.
void BM_TrendAddBlockAxisStepsHourAllSeries(benchmark::State& state) {
  const auto span = std::chrono::minutes(state.range(0));
  FullTab full(static_cast<int>(state.range(0)));
  for (auto _ : state) full.Add(kt::workbench::TickFor(span));
}
BENCHMARK(BM_TrendAddBlockAxisStepsHourAllSeries)->Apply(EachSpan);

// What the window does per block: the change, then the repaint of the region it touched.
void BM_TrendAddBlockAndRepaintHourAllSeries(benchmark::State& state) {
  FullTab full(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    full.Add();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_TrendAddBlockAndRepaintHourAllSeries)->Apply(EachSpan);

void BM_TrendAddBlockAndPaintHourAllSeries(benchmark::State& state) {
  FullTab full(static_cast<int>(state.range(0)));
  QChartView& view = full.tab.chartView();
  QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    full.Add();
    QPainter painter(&image);
    view.render(&painter);
  }
}
BENCHMARK(BM_TrendAddBlockAndPaintHourAllSeries)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
