// The site's load options.
#include "sim/SiteOptions.h"

#include <cmath>

#include "sim/WiringFaultOptions.h"

namespace kt::sim {

bool ParseLoad(const std::string& text, SiteOptions& site) {
  double percent = 0;
  if (text.find('=') == std::string::npos) {
    if (!ParseDecimal(text, 0, 120, percent)) return false;
    site.loadPercent = percent;
    return true;
  }
  SiteOptions parsed = site;
  std::array<bool, 3> seen{};
  size_t from = 0;
  while (from <= text.size()) {
    const size_t comma = text.find(',', from);
    const std::string item = text.substr(from, comma == std::string::npos ? comma : comma - from);
    const size_t equals = item.find('=');
    std::array<bool, 3> phase{};
    if (equals == std::string::npos || !ParsePhase(item.substr(0, equals), phase)) return false;
    const int p = phase[0] ? 0 : phase[1] ? 1 : 2;
    if (seen[p]) return false;
    seen[p] = true;
    const std::string value = item.substr(equals + 1);
    const size_t colon = value.find(':');
    if (!ParseDecimal(value.substr(0, colon), 0, 120, percent)) return false;
    parsed.phasePercent[p] = percent;
    if (colon != std::string::npos) {
      double pf = 0;
      if (!ParseDecimal(value.substr(colon + 1), -1, 1, pf) || std::abs(pf) < 0.01) return false;
      parsed.phasePowerFactor[p] = pf;
    }
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  site = parsed;
  return true;
}

bool ParseCtSecondary(const std::string& text, SiteOptions& site) {
  if (text != "1" && text != "5") return false;
  site.ctSecondaryA = text == "1" ? 1.0 : 5.0;
  return true;
}

bool ParseLostPhase(const std::string& text, WiringFaults& faults) {
  const size_t colon = text.find(':');
  if (colon != std::string::npos) {
    const std::string pattern = text.substr(colon + 1);
    if (pattern != "b" && pattern != "B") return false;
    faults.lostPulledToB = true;
  }
  return ParsePhase(text.substr(0, colon), faults.lostVoltage);
}

void ApplySiteOptions(const SiteOptions& site, LoadProfile& load) {
  load.ctSecondaryA = site.ctSecondaryA;
  auto& c = load.current;
  // A share for every phase keeps the phases' small differences.
  if (site.loadPercent) {
    const double mean = (c[0] + c[1] + c[2]) / 3.0;
    const double amps = *site.loadPercent / 100.0 * site.ctSecondaryA;
    c = {c[0] / mean * amps, c[1] / mean * amps, c[2] / mean * amps};
  }
  for (int p = 0; p < 3; ++p) {
    if (site.phasePercent[p]) c[p] = *site.phasePercent[p] / 100.0 * site.ctSecondaryA;
    if (site.phasePowerFactor[p]) load.phasePowerFactor[p] = *site.phasePowerFactor[p];
  }
}

}  // namespace kt::sim
