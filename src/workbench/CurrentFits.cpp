// Enumerating the connections of the currents and ranking the healthy readings they give.
#include "workbench/CurrentFits.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace kt::workbench {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;

// A site that exports is about as rare as one wiring mistake: a little dearer, so a rotation that
// makes an ordinary importing site is named before it.
constexpr double kExportCost = 1.05;

double MistakeCost(const CurrentFit& f, const std::vector<int>& judged) {
  int reversed = 0, displaced = 0;
  // Voltage leads swapped or rotated: one mistake, and one more beside any current mistake.
  const bool voltages = f.voltage != std::array<int, 3>{0, 1, 2};
  for (int p : judged) {
    reversed += f.reversed[p] ? 1 : 0;
    displaced += f.source[p] != p ? 1 : 0;
  }
  // Every CT the wrong way round is one systematic mistake, but rarer than a rotation; several
  // CTs reversed one by one are dearer than each alone.
  const int n = static_cast<int>(judged.size());
  double cost = reversed == n && n > 1 ? 1.2 : reversed + 0.1 * std::max(0, reversed - 1);
  if (voltages) cost += reversed > 0 || displaced > 0 ? 2.0 : 1.0;
  if (displaced == 0) return cost;
  // Two inputs trading currents are one swap, three in a ring one rotation; any other input
  // on a wrong phase (one CT feeding two inputs) is a gross mistake of its own.
  bool permutation = true;
  for (int p : judged) {
    permutation = permutation &&
                  std::count_if(judged.begin(), judged.end(),
                                [&](int q) { return f.source[q] == f.source[p]; }) == 1 &&
                  std::find(judged.begin(), judged.end(), f.source[p]) != judged.end();
  }
  // A reversed CT on top of a misplaced current is two independent mistakes, rarer than either.
  return cost + (permutation ? 1.0 : 2.0 * displaced) + (reversed > 0 ? 1.0 : 0.0);
}

// Loads of different power factor on one site are usual, very different ones less so.
double SpreadCost(const CurrentFit& f, const std::vector<int>& judged) {
  double cost = 0;
  for (std::size_t i = 0; i < judged.size(); ++i) {
    for (std::size_t j = i + 1; j < judged.size(); ++j) {
      const double gap = std::abs(WrapDeg(f.loadAngleDeg[judged[i]] - f.loadAngleDeg[judged[j]]));
      cost += std::max(0.0, gap - 30.0) / 60.0 * 0.6;
    }
  }
  return cost;
}

// Two inputs said to carry one phase's current must show the same current.
bool SameSourcesAgree(const SiteView& site, const CurrentFit& f, const std::vector<int>& judged,
                      const std::array<double, 3>& toleranceDeg, const WiringThresholds& limits) {
  for (std::size_t i = 0; i < judged.size(); ++i) {
    for (std::size_t j = i + 1; j < judged.size(); ++j) {
      const int p = judged[i], q = judged[j];
      if (f.source[p] != f.source[q]) continue;
      const double gap = std::abs(WrapDeg(f.loadAngleDeg[p] - f.loadAngleDeg[q]));
      if (gap > limits.sameCurrentAngleDeg + toleranceDeg[p] + toleranceDeg[q]) return false;
      const double a = site.elements[p].current, b = site.elements[q].current;
      if (std::abs(a - b) > limits.sameCurrentFraction * std::max(a, b) + 2 * site.lsb.amp) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

double LoadAngleCost(double phiDeg, bool exporting) {
  const double psi = exporting ? WrapDeg(phiDeg - 180.0) : phiDeg;
  if (psi >= -35.0 && psi <= 46.0) return 0.0;   // PF 0.7..1, or a load between two phases
  if (psi > 46.0 && psi <= 80.0) return 0.25;    // lagging, low PF
  if (psi < -35.0 && psi >= -80.0) return 0.45;  // leading
  return 0.8;                                    // beyond 80°: hardly any active power
}

bool CurrentFit::Identity(const std::vector<int>& judged) const {
  return voltage == std::array<int, 3>{0, 1, 2} &&
         std::all_of(judged.begin(), judged.end(),
                     [&](int p) { return source[p] == p && !reversed[p]; });
}

double CurrentFit::MeanLoadAngleDeg(const std::vector<int>& judged) const {
  double sumCos = 0, sumSin = 0;
  for (int p : judged) {
    sumCos += std::cos(loadAngleDeg[p] * kRad);
    sumSin += std::sin(loadAngleDeg[p] * kRad);
  }
  return std::atan2(sumSin, sumCos) / kRad;
}

namespace {

// Completes a fit whose connections are set: the load angle each element implies, the direction,
// the cost; nothing when it is no healthy reading.
std::optional<CurrentFit> Reading(const SiteView& site, const std::vector<int>& judged,
                                  const std::array<double, 3>& toleranceDeg,
                                  const WiringThresholds& limits, CurrentFit f) {
  bool imports = true, exports = true;
  for (int p : judged) {
    const double shift = site.phaseAngleDeg[f.voltage[p]] - site.phaseAngleDeg[f.source[p]] +
                         (f.reversed[p] ? 180.0 : 0.0);
    f.loadAngleDeg[p] = WrapDeg(site.elements[p].LoadAngleDeg() - shift);
    const double reach = 90.0 + limits.directionMarginDeg + toleranceDeg[p];
    imports = imports && std::abs(f.loadAngleDeg[p]) <= reach;
    exports = exports && std::abs(f.loadAngleDeg[p]) >= 180.0 - reach;
  }
  // The site as a whole runs one way, and its loads' angles lie no further apart than loads of
  // one site do.
  double active = 0, spread = 0;
  for (int p : judged) {
    const ElementView& e = site.elements[p];
    active += std::hypot(e.active, e.reactive) * std::cos(f.loadAngleDeg[p] * kRad);
    for (int q : judged) {
      const double gap = std::abs(WrapDeg(f.loadAngleDeg[p] - f.loadAngleDeg[q]));
      spread = std::max(spread, gap - toleranceDeg[p] - toleranceDeg[q]);
    }
  }
  imports = imports && active > 0;
  exports = exports && active < 0;
  if (!(imports || exports) || spread > limits.healthySpreadDeg) return std::nullopt;
  if (!SameSourcesAgree(site, f, judged, toleranceDeg, limits)) return std::nullopt;
  const auto angleCost = [&](bool exporting) {
    if (!(exporting ? exports : imports)) return 1e9;
    double cost = 0.0;
    for (int p : judged) cost += LoadAngleCost(f.loadAngleDeg[p], exporting);
    return (exporting ? kExportCost : 0.0) + cost;
  };
  const double importCost = angleCost(false), exportCost = angleCost(true);
  f.exporting = exportCost < importCost;
  f.cost = MistakeCost(f, judged) + std::min(importCost, exportCost) + SpreadCost(f, judged);
  return f;
}

}  // namespace

std::vector<CurrentFit> FitCurrents(const SiteView& site, const std::vector<int>& judged,
                                    const std::array<double, 3>& toleranceDeg,
                                    const WiringThresholds& limits) {
  std::vector<CurrentFit> fits;
  if (judged.empty()) return fits;
  // The phases whose currents can reach an input: all three, or those of a single-phase mode.
  const std::vector<int> sources =
      site.layout == Layout::SinglePhase ? site.measured : std::vector<int>{0, 1, 2};
  // Four-wire voltage leads in any order; otherwise as they are.
  std::vector<std::array<int, 3>> voltages = {{0, 1, 2}};
  if (site.layout == Layout::FourWire) {
    voltages = {{0, 1, 2}, {1, 0, 2}, {0, 2, 1}, {2, 1, 0}, {1, 2, 0}, {2, 0, 1}};
  }
  const auto n = judged.size();
  std::size_t combinations = 1;
  for (std::size_t k = 0; k < n; ++k) combinations *= sources.size() * 2;
  for (const std::array<int, 3>& voltage : voltages) {
    for (std::size_t code = 0; code < combinations; ++code) {
      CurrentFit f;
      f.voltage = voltage;
      std::size_t rest = code;
      for (int p : judged) {
        f.reversed[p] = rest % 2 != 0;
        f.source[p] = sources[rest / 2 % sources.size()];
        rest /= 2 * sources.size();
      }
      if (auto fit = Reading(site, judged, toleranceDeg, limits, f)) fits.push_back(*fit);
    }
  }
  std::stable_sort(fits.begin(), fits.end(),
                   [](const CurrentFit& a, const CurrentFit& b) { return a.cost < b.cost; });
  return fits;
}

}  // namespace kt::workbench
