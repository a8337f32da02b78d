// Fixed-point text of the decoded values. Every value but the mean line voltage is an exact
// multiple of its register's step, and a double is far closer to it than half a step, so the
// rounding to the step's decimals gives the exact decimal text.
#include "values/ValueText.h"

#include <cstdio>

#include "values/MeasurementBlock.h"

namespace kt::values {

std::string DecimalText(double value, int decimals) {
  char text[64];
  const int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
  if (n < 0) return {};
  std::string result(
      text, static_cast<size_t>(n) < sizeof text ? static_cast<size_t>(n) : sizeof text - 1);
  // "-0.00": a negative raw value scaled by a ratio of 0, or rounded to nothing.
  if (result.front() == '-' && result.find_first_not_of("0.", 1) == std::string::npos) {
    result.erase(0, 1);
  }
  return result;
}

std::string ValueText(const MeasuredBlock& block, Quantity q) {
  const auto index = static_cast<size_t>(q);
  return DecimalText(block.values[index], ResolutionDecimals(index));
}

}  // namespace kt::values
