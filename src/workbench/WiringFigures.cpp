// Figures the wiring check's rules share.
#include "workbench/WiringFigures.h"

#include <algorithm>
#include <cmath>

#include "workbench/WiringText.h"

namespace kt::workbench {

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

std::pair<std::size_t, double> LargestDeviation(const std::vector<double>& values) {
  const double mean = Mean(values);
  std::size_t worst = 0;
  double deviation = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double d = mean > 0 ? std::abs(values[i] - mean) / mean : 0.0;
    if (d > deviation) {
      deviation = d;
      worst = i;
    }
  }
  return {worst, deviation};
}

std::string Figures(const CheckContext& c, const std::vector<int>& elements,
                    double (*pick)(const ElementView&), const char* unit, const char* bareFormat) {
  double largest = 0;
  for (int p : elements) largest = std::max(largest, std::abs(pick(c.site.elements[p])));
  double divisor = 1.0;
  std::string prefix;
  if (*unit && largest >= 1e6) {
    divisor = 1e6, prefix = "M";
  } else if (*unit && largest >= 1e4) {
    divisor = 1e3, prefix = "K";
  }
  const char* format = *unit ? (divisor > 1 ? "%.2f" : "%.1f") : bareFormat;
  std::string text;
  for (int p : elements) {
    if (!text.empty()) text += " / ";
    text += Printf(format, pick(c.site.elements[p]) / divisor);
  }
  return *unit ? text + " " + prefix + unit : text;
}

}  // namespace kt::workbench
