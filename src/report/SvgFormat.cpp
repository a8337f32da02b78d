// SVG numbers and colours.
#include "report/SvgFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kt::report {

std::string SvgNumber(double value) {
  const double rounded = std::round(value * 10) / 10;
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, rounded == 0 ? 0.0 : rounded,
                                    std::chars_format::fixed, 1);
  return std::string(text, result.ptr);
}

std::string HexColour(workbench::Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
  return text;
}

}  // namespace kt::report
