// Drawing the trend charts as SVG.
#include "report/TrendSvg.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "report/SvgFormat.h"
#include "values/LocalTimeText.h"
#include "values/ValueText.h"
#include "workbench/WorkbenchLook.h"

namespace kt::report {
namespace {

using workbench::TrendSeries;

constexpr double kLeft = 6;
constexpr double kTop = 16;
constexpr double kBottom = 16;  // room for the times under the plot
constexpr double kPlotWidth = kTrendChartWidth - 2 * kLeft;
constexpr double kPlotHeight = kTrendChartHeight - kTop - kBottom;
constexpr workbench::Rgb kTotalColour{0x20, 0x20, 0x20};

struct Chart {
  const char* title;
  workbench::UnitGroup group;
  std::vector<TrendSeries> series;
};

std::vector<Chart> Charts(bool lineVoltages) {
  using enum TrendSeries;
  return {
      {"电压", workbench::UnitGroup::Voltage,
       lineVoltages ? std::vector{LineVoltageAB, LineVoltageBC, LineVoltageCA}
                    : std::vector{PhaseVoltageA, PhaseVoltageB, PhaseVoltageC}},
      {"电流", workbench::UnitGroup::Current, {CurrentA, CurrentB, CurrentC}},
      {"总有功功率", workbench::UnitGroup::ActivePower, {TotalActivePower}},
      {"总功率因数", workbench::UnitGroup::PowerFactor, {TotalPowerFactor}},
  };
}

struct Window {
  std::size_t first;
  std::chrono::system_clock::time_point start;
  std::chrono::system_clock::time_point end;
};

double XOf(const Window& w, std::chrono::system_clock::time_point t) {
  const double span = std::chrono::duration<double>(w.end - w.start).count();
  const double at = std::chrono::duration<double>(t - w.start).count();
  return kLeft + (span > 0 ? at / span : 1.0) * kPlotWidth;
}

std::string ChartSvg(const workbench::TrendStore& store, const Window& w, const Chart& chart) {
  double low = store.At(w.first)[chart.series.front()];
  double high = low;
  for (std::size_t i = w.first; i < store.size(); ++i) {
    for (TrendSeries s : chart.series) {
      low = std::min(low, store.At(i)[s]);
      high = std::max(high, store.At(i)[s]);
    }
  }
  const workbench::UnitChoice unit =
      workbench::ChooseUnit(chart.group, std::max(std::abs(low), std::abs(high)));
  const double pad = high > low ? (high - low) * 0.05 : std::max(std::abs(high) * 0.05, 0.01);
  const double bottom = low - pad;
  const double top = high + pad;
  const auto yOf = [&](double v) { return kTop + (top - v) / (top - bottom) * kPlotHeight; };

  const std::string width = SvgNumber(kTrendChartWidth);
  const std::string height = SvgNumber(kTrendChartHeight);
  std::string svg = "<svg class=\"trend\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width +
                    "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height +
                    "\" font-size=\"9\">";
  svg += "<rect x=\"" + SvgNumber(kLeft) + "\" y=\"" + SvgNumber(kTop) + "\" width=\"" +
         SvgNumber(kPlotWidth) + "\" height=\"" + SvgNumber(kPlotHeight) +
         "\" fill=\"none\" stroke=\"#c8c8c8\"/>";
  const std::string unitText = *unit.unit != '\0' ? std::string(" (") + unit.unit + ")" : "";
  svg += "<text x=\"" + SvgNumber(kLeft) + "\" y=\"11\" font-size=\"10\">" + chart.title +
         unitText + "  " + values::DecimalText(low / unit.divisor, 2) + " … " +
         values::DecimalText(high / unit.divisor, 2) + "</text>";
  for (std::size_t n = 0; n < chart.series.size(); ++n) {
    const workbench::Rgb colour =
        chart.series.size() > 1 ? workbench::PhaseColour(static_cast<int>(n)) : kTotalColour;
    std::string points;
    double lastX = -1;
    uint32_t run = store.At(w.first).run;
    const auto flush = [&] {
      if (!points.empty()) {
        svg += "<polyline fill=\"none\" stroke=\"" + HexColour(colour) +
               "\" stroke-width=\"1.2\" points=\"" + points + "\"/>";
      }
      points.clear();
      lastX = -1;
    };
    for (std::size_t i = w.first; i < store.size(); ++i) {
      const workbench::TrendSample& sample = store.At(i);
      if (sample.run != run) flush();
      run = sample.run;
      const double x = XOf(w, sample.time);
      // One point a half unit of width is all the chart can show.
      if (lastX >= 0 && x - lastX < 0.5 && i + 1 < store.size()) continue;
      lastX = x;
      points += (points.empty() ? "" : " ") + SvgNumber(x) + "," +
                SvgNumber(yOf(sample[chart.series[n]]));
    }
    flush();
  }
  const std::string timeY = SvgNumber(kTrendChartHeight - 4);
  svg += "<text x=\"" + SvgNumber(kLeft) + "\" y=\"" + timeY + "\">" +
         values::LocalTimeText(w.start, values::TimeFields::Seconds) + "</text>";
  svg += "<text x=\"" + SvgNumber(kLeft + kPlotWidth) + "\" y=\"" + timeY +
         "\" text-anchor=\"end\">" + values::LocalTimeText(w.end, values::TimeFields::Seconds) +
         "</text>";
  return svg + "</svg>";
}

}  // namespace

std::string TrendSvg(const workbench::TrendStore& store, bool lineVoltages) {
  if (store.size() == 0) return "";
  Window w{};
  w.end = store.At(store.size() - 1).time;
  w.first = store.FirstAtOrAfter(w.end - kTrendSpan);
  w.start = store.At(w.first).time;  // fewer minutes than the span fill the width
  std::string svg;
  for (const Chart& chart : Charts(lineVoltages)) svg += ChartSvg(store, w, chart);
  return svg;
}

}  // namespace kt::report
