// Enumerating the connections of the currents and fitting the load's angle to each.
#include "workbench/CurrentFits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kt::workbench {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;

// How usual a load angle is: lagging import first, then leading import, then export (P < 0).
// Export with the site still drawing reactive power (Q > 0) is rarer than rotated currents.
double LoadCost(double phiDeg) {
  if (phiDeg >= -10.0 && phiDeg <= 80.0) return 0.0;
  if (phiDeg > 80.0 && phiDeg <= 90.0) return 0.2;
  if (phiDeg < -10.0 && phiDeg >= -90.0) return 0.6;
  return phiDeg < 0 ? 0.7 : 0.9;
}

double MistakeCost(const CurrentFit& f, const std::vector<int>& judged) {
  int reversed = 0, displaced = 0;
  for (int p : judged) {
    reversed += f.reversed[p] ? 1 : 0;
    displaced += f.source[p] != p ? 1 : 0;
  }
  // Every CT the wrong way round is one systematic mistake.
  double cost = reversed == static_cast<int>(judged.size()) && reversed > 1 ? 1.0 : reversed;
  // Two inputs trading currents are one swap, three in a ring one rotation; any other input
  // on a wrong phase is a mistake of its own.
  bool permutation = true;
  for (int p : judged) {
    permutation = permutation &&
                  std::count_if(judged.begin(), judged.end(),
                                [&](int q) { return f.source[q] == f.source[p]; }) == 1 &&
                  std::find_if(judged.begin(), judged.end(),
                               [&](int q) { return q == f.source[p]; }) != judged.end();
  }
  if (displaced == 0) return cost;
  if (permutation) return cost + (displaced > 2 ? 1.2 : 1.0);
  return cost + 1.1 * displaced;
}

}  // namespace

bool CurrentFit::Identity(const std::vector<int>& judged) const {
  return std::all_of(judged.begin(), judged.end(),
                     [&](int p) { return source[p] == p && !reversed[p]; });
}

bool CurrentFit::Export() const {
  return std::abs(loadAngleDeg) > 90.0;
}

std::vector<CurrentFit> FitCurrents(const SiteView& site, const std::vector<int>& judged,
                                    const std::array<double, 3>& toleranceDeg) {
  std::vector<CurrentFit> fits;
  if (judged.empty()) return fits;
  // The phases whose currents can reach an input: all three, or those of a single-phase mode.
  const std::vector<int> sources =
      site.layout == Layout::SinglePhase ? site.measured : std::vector<int>{0, 1, 2};
  const auto n = judged.size();
  std::vector<int> pick(n, 0);  // index into `sources` for each judged element
  const auto next = [&] {
    for (std::size_t k = 0; k < n; ++k) {
      if (++pick[k] < static_cast<int>(sources.size())) return true;
      pick[k] = 0;
    }
    return false;
  };
  do {
    for (unsigned signs = 0; signs < (1u << n); ++signs) {
      CurrentFit f;
      std::array<double, 3> implied{};  // φ each element implies under this fit
      double sumCos = 0, sumSin = 0;
      for (std::size_t k = 0; k < n; ++k) {
        const int p = judged[k];
        f.source[p] = sources[static_cast<std::size_t>(pick[k])];
        f.reversed[p] = (signs >> k & 1u) != 0;
        const double shift =
            site.phaseAngleDeg[p] - site.phaseAngleDeg[f.source[p]] + (f.reversed[p] ? 180.0 : 0.0);
        implied[p] = WrapDeg(site.elements[p].LoadAngleDeg() - shift);
        sumCos += std::cos(implied[p] * kRad);
        sumSin += std::sin(implied[p] * kRad);
      }
      f.loadAngleDeg = std::atan2(sumSin, sumCos) / kRad;
      bool within = true;
      double spread = 0;
      for (int p : judged) {
        const double off = std::abs(WrapDeg(implied[p] - f.loadAngleDeg));
        within = within && off <= toleranceDeg[p];
        spread = std::max(spread, off / toleranceDeg[p]);
      }
      if (!within) continue;
      f.cost = MistakeCost(f, judged) + LoadCost(f.loadAngleDeg) + 0.6 * spread;
      fits.push_back(f);
    }
  } while (next());
  std::stable_sort(fits.begin(), fits.end(),
                   [](const CurrentFit& a, const CurrentFit& b) { return a.cost < b.cost; });
  return fits;
}

}  // namespace kt::workbench
