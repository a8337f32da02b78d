// Numbers and colours as the report's SVG writes them, the same on every platform and locale.
#pragma once

#include <string>

#include "workbench/TrafficLogColours.h"

namespace kt::report {

// `value` with one decimal, "-0.0" written "0.0".
std::string SvgNumber(double value);
// "#d4a000"
std::string HexColour(workbench::Rgb colour);

}  // namespace kt::report
