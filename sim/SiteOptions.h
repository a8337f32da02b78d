// Reading the simulator's options for the site's load: each phase's current and power factor,
// and the CTs' rated secondary current the currents are a share of.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "sim/MeterConfig.h"

namespace kt::sim {

struct SiteOptions {
  std::optional<double> loadPercent;                  // --load PERCENT: every phase
  std::array<std::optional<double>, 3> phasePercent;  // --load A=PERCENT[:PF],...
  std::array<std::optional<double>, 3> phasePowerFactor;
  double ctSecondaryA = 5.0;
};

// "PERCENT" (0..120) or "A=PERCENT[:PF],B=...,C=..." (any of the phases, each once; PF as --pf).
bool ParseLoad(const std::string& text, SiteOptions& site);
// "5" or "1".
bool ParseCtSecondary(const std::string& text, SiteOptions& site);
// "A", "B" or "C", with ":b" for an input that settles on B's voltage (three-wire).
bool ParseLostPhase(const std::string& text, WiringFaults& faults);

// Puts the options into the load once all are read, so their order does not matter.
void ApplySiteOptions(const SiteOptions& site, LoadProfile& load);

}  // namespace kt::sim
