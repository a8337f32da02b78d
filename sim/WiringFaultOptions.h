// Reading the simulator's options that wire its load wrongly.
#pragma once

#include <array>
#include <string>

#include "sim/WiringFaults.h"

namespace kt::sim {

// "A", "B" or "C" (either case): marks that phase; false for anything else.
bool ParsePhase(const std::string& text, std::array<bool, 3>& phases);

// "AB", "BC" or "CA" (any two different phases): the pair whose currents are swapped.
bool ParsePhasePair(const std::string& text, WiringFaults& faults);

// A decimal number from `min` to `max`.
bool ParseDecimal(const std::string& text, double min, double max, double& out);

}  // namespace kt::sim
