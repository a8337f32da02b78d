// Texts of the wiring check: numbers with units, phase names, and a current fit in words.
#pragma once

#include <string>
#include <vector>

#include "workbench/CurrentFits.h"

namespace kt::workbench {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The value with its unit, K or M in front once large, as the main dialog writes units.
std::string WithUnit(double value, const char* unit);
std::string Percent(double fraction);

// "A相", "B相", "C相".
const char* PhaseName(int phase);
// "A、C相" for a list of phases.
std::string PhaseList(const std::vector<int>& phases);

// The mistakes of a fit in words, e.g. "A相电流互感器接反且B、C相电流互换"; "功率倒送" is added
// when the load exports. Empty for a healthy importing site.
std::string DescribeFit(const CurrentFit& fit, const std::vector<int>& judged);

}  // namespace kt::workbench
