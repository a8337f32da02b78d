// The trend chart's colours, its column count and its value axes' round steps.
#include "workbench/TrendChoices.h"

#include <algorithm>
#include <cmath>

#include "workbench/WorkbenchLook.h"

namespace kt::workbench {

Rgb SeriesColour(TrendSeries series) {
  // A phase's colour at 1/1.65 of its brightness.
  constexpr std::array<Rgb, 3> kDarker = {
      {{0x80, 0x61, 0x00}, {0x12, 0x5F, 0x1C}, {0x7E, 0x13, 0x13}}};
  switch (series) {
    case TrendSeries::PhaseVoltageA:
      return PhaseColour(0);
    case TrendSeries::PhaseVoltageB:
      return PhaseColour(1);
    case TrendSeries::PhaseVoltageC:
      return PhaseColour(2);
    case TrendSeries::CurrentA:
    case TrendSeries::PowerFactorA:
      return kDarker[0];
    case TrendSeries::CurrentB:
    case TrendSeries::PowerFactorB:
      return kDarker[1];
    case TrendSeries::CurrentC:
    case TrendSeries::PowerFactorC:
      return kDarker[2];
    case TrendSeries::LineVoltageAB:
      return {0xE0, 0x7B, 0x00};
    case TrendSeries::LineVoltageBC:
      return {0x00, 0x8C, 0x8C};
    case TrendSeries::LineVoltageCA:
      return {0x8E, 0x44, 0xAD};
    case TrendSeries::TotalActivePower:
      return {0x1F, 0x5F, 0xBF};
    case TrendSeries::TotalReactivePower:
      return {0xB0, 0x3A, 0x9A};
    case TrendSeries::TotalApparentPower:
      return {0x55, 0x55, 0x55};
    case TrendSeries::TotalPowerFactor:
      return {0x00, 0x00, 0x00};
    case TrendSeries::Frequency:
      return {0x00, 0x33, 0x99};
  }
  return {0, 0, 0};
}

std::size_t TrendColumnCount(std::size_t plotWidthPx, std::size_t shownSeries) {
  const std::size_t byBudget =
      kPointBudget / (kPointsPerColumn * std::max<std::size_t>(shownSeries, 1));
  return std::max(kLeastColumns, std::min(plotWidthPx / kColumnPixels, byBudget));
}

NiceRange MakeNice(double low, double high) {
  constexpr int kWantedSteps = 5;
  const double rough = (high - low) / kWantedSteps;
  const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
  const double fraction = rough / magnitude;
  const double step = magnitude * (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10);
  const double niceLow = std::floor(low / step) * step;
  const double niceHigh = std::ceil(high / step) * step;
  return {niceLow, niceHigh, static_cast<int>(std::lround((niceHigh - niceLow) / step)) + 1};
}

ValueBounds PaddedBounds(double low, double high) {
  const double pad = std::max((high - low) * 0.08, std::max(std::abs(high) * 0.005, 1e-3));
  ValueBounds padded{low - pad, high + pad};
  if (low >= 0) {
    padded.low = std::max(padded.low, 0.0);
  } else if (high <= 0) {
    padded.high = std::min(padded.high, 0.0);
  }
  return padded;
}

NiceRange AxisRangeFor(double low, double high) {
  const ValueBounds padded = PaddedBounds(low, high);
  return MakeNice(padded.low, padded.high);
}

int LabelDecimals(double span) {
  if (span < 0.1) return 3;
  if (span < 1) return 2;
  if (span < 20) return 1;
  return 0;
}

}  // namespace kt::workbench
