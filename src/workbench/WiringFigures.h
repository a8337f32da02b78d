// Figures the wiring check's rules share: means, deviations and the elements' figures as text.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "workbench/WiringRules.h"

namespace kt::workbench {

double Mean(const std::vector<double>& values);

// Index of the value farthest from the mean and its deviation as a fraction of the mean.
std::pair<std::size_t, double> LargestDeviation(const std::vector<double>& values);

// The elements' figures with one prefix for all, from the largest (none for a bare number).
std::string Figures(const CheckContext& c, const std::vector<int>& elements,
                    double (*pick)(const ElementView&), const char* unit,
                    const char* bareFormat = "%.2f");

}  // namespace kt::workbench
