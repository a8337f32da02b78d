// The last minutes of the trend store as small SVG line charts: voltages, currents, total
// active power and total power factor.
#pragma once

#include <chrono>
#include <string>

#include "workbench/TrendStore.h"

namespace kt::report {

inline constexpr std::chrono::minutes kTrendSpan{10};
inline constexpr double kTrendChartWidth = 170;
inline constexpr double kTrendChartHeight = 100;

// Four <svg> charts over the samples of the kTrendSpan before the newest one, each series in its
// phase's colour (totals in black), a run of samples one polyline (the line breaks where polling
// stopped), the range of the values and the first and last time written beside it. Three-wire
// sites (`lineVoltages`) show the line voltages. Empty when the store holds no sample.
std::string TrendSvg(const workbench::TrendStore& store, bool lineVoltages);

}  // namespace kt::report
