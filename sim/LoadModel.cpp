// The live three-phase load of the simulated meter.
#include "sim/LoadModel.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <utility>

namespace kt::sim {
namespace {

using Phasor = std::complex<double>;

constexpr double kDeg = std::numbers::pi / 180.0;

// Which phases the wiring measures and at which angle (single-phase three-wire: A and B opposed).
struct WiringShape {
  std::array<bool, 3> present;
  std::array<double, 3> angleDeg;
  bool balanced;  // every phase shows phase A's magnitudes
};

WiringShape ShapeOf(uint8_t wiring) {
  switch (wiring) {
    case 1:
      return {{true, false, false}, {0, -120, 120}, false};  // single-phase two-wire
    case 3:
      return {{true, true, true}, {0, -120, 120}, true};  // three-wire balanced
    case 4:
      return {{true, true, false}, {0, 180, 120}, false};  // single-phase three-wire
    case 5:
      return {{true, true, true}, {0, -120, 120}, true};  // four-wire balanced
    default:
      return {{true, true, true}, {0, -120, 120}, false};  // 0, 2: unbalanced
  }
}

}  // namespace

LoadModel::LoadModel(const LoadProfile& profile, uint32_t seed)
    : profile_(profile),
      prng_(seed),
      forwardActiveWh_(0),
      reverseActiveWh_(0),
      forwardReactiveVarh_(0),
      reverseReactiveVarh_(0) {
  // A meter that has been in service for a while: seeded, plausible totals.
  forwardActiveWh_ = 1'200'000.0 + 100'000.0 * prng_.Unit();
  reverseActiveWh_ = 1'000.0 * prng_.Unit();
  forwardReactiveVarh_ = 380'000.0 + 40'000.0 * prng_.Unit();
  reverseReactiveVarh_ = 500.0 * prng_.Unit();
}

MeasuredValues LoadModel::Sample(uint64_t nowUs, uint8_t wiring, uint16_t pt, uint16_t ct) {
  if (started_ && nowUs > lastUs_) {
    const double hours = static_cast<double>(nowUs - lastUs_) / 3.6e9;
    (lastActiveW_ >= 0 ? forwardActiveWh_ : reverseActiveWh_) += std::abs(lastActiveW_) * hours;
    (lastReactiveVar_ >= 0 ? forwardReactiveVarh_ : reverseReactiveVarh_) +=
        std::abs(lastReactiveVar_) * hours;
  }
  started_ = true;
  lastUs_ = nowUs;

  const WiringShape shape = ShapeOf(wiring);
  const double noise = profile_.noise;
  const double pfNoise = 0.5 * noise * prng_.Symmetric();

  // The load as it is: source voltages and the currents the load draws.
  const WiringFaults& faults = profile_.wiringFaults;
  const double unbalance = faults.unbalancePercent / 100.0;
  const std::array<double, 3> unbalanceFactor = {1.0 + unbalance, 1.0, 1.0 - unbalance};
  std::array<Phasor, 3> u{};
  std::array<Phasor, 3> line{};
  for (int p = 0; p < 3; ++p) {
    if (!shape.present[p]) continue;
    const int source = shape.balanced ? 0 : p;
    const double volts = profile_.phaseVoltage[source] * (1.0 + noise * prng_.Symmetric()) * pt;
    const double amps = profile_.current[source] * unbalanceFactor[source] *
                        (1.0 + 2 * noise * prng_.Symmetric()) * ct;
    const double angle = shape.angleDeg[p] * kDeg;
    const double own = profile_.phasePowerFactor[source];
    const double pf =
        std::clamp((std::isnan(own) ? profile_.powerFactor : own) + pfNoise, -1.0, 1.0);
    const double lag = std::acos(std::abs(pf)) * (pf < 0 ? -1.0 : 1.0);
    u[p] = std::polar(volts, angle);
    line[p] = std::polar(amps, angle - lag) * (faults.exporting ? -1.0 : 1.0);
  }
  // A three-wire site returns B's current through A and C, and has CTs on A and C only.
  std::array<Phasor, 3> secondary = line;
  if (faults.threeWireSite) secondary[1] = 0;
  // What reaches the meter's inputs when the wiring is wrong.
  std::array<Phasor, 3> i = secondary;
  if (faults.rotation != 0) {
    for (int p = 0; p < 3; ++p) i[(p + (faults.rotation > 0 ? 1 : 2)) % 3] = secondary[p];
  }
  if (faults.SwapsCurrents()) std::swap(i[faults.swapFirst], i[faults.swapSecond]);
  std::array<Phasor, 3> terminal = u;
  for (int p = 0; p < 3; ++p) {
    if (faults.reversedCt[p]) i[p] = -i[p];
    if (!faults.lostVoltage[p]) continue;
    // An open input floats: to N on a four-wire site, midway between the others without one.
    // Through a PT whose fuse blew it may settle on B's instead.
    terminal[p] = !faults.threeWireSite  ? Phasor{}
                  : faults.lostPulledToB ? u[1]
                                         : (u[(p + 1) % 3] + u[(p + 2) % 3]) / 2.0;
  }
  // Without a neutral the meter's N terminal settles at the middle of its three inputs.
  const Phasor neutral =
      faults.threeWireSite ? (terminal[0] + terminal[1] + terminal[2]) / 3.0 : Phasor{};
  // Three-wire modes measure two elements: U_AB with I_A and U_CB with I_C.
  const bool twoElements = wiring == 2 || wiring == 3;
  const double h = faults.thirdHarmonicPercent / 100.0;
  const double rmsFactor = std::sqrt(1.0 + h * h);

  // Each element's figures from the voltage and the current that meet there: P and Q of the
  // fundamental, S from the r.m.s. current with its harmonic.
  MeasuredValues v;
  for (int p = 0; p < 3; ++p) {
    if (!shape.present[p]) continue;
    v.phaseVoltage[p] = std::abs(terminal[p] - neutral);
    v.current[p] = std::abs(i[p]) * rmsFactor;
    if (twoElements && p == 1) continue;
    const Phasor element = twoElements ? terminal[p] - terminal[1] : terminal[p] - neutral;
    const Phasor power = element * std::conj(i[p]);
    v.apparentPower[p] = std::abs(element) * v.current[p];
    v.activePower[p] = power.real();
    v.reactivePower[p] = power.imag();
    v.powerFactor[p] = v.apparentPower[p] > 0 ? power.real() / v.apparentPower[p] : 0.0;
  }
  v.lineVoltage = {std::abs(terminal[2] - terminal[0]), std::abs(terminal[0] - terminal[1]),
                   std::abs(terminal[1] - terminal[2])};
  // The inputs' sum, with the third harmonics that add up in phase.
  Phasor fundamental, third;
  for (int p = 0; p < 3; ++p) {
    fundamental += i[p];
    third += std::polar(h * std::abs(i[p]), 3.0 * std::arg(i[p]));
  }
  v.zeroSequenceCurrent = std::hypot(std::abs(fundamental), std::abs(third)) / 3.0;
  for (int p = 0; p < 3; ++p) {
    v.combinedVoltage += v.phaseVoltage[p] / 3.0;
    v.combinedCurrent += v.current[p] / 3.0;
    v.combinedLineVoltage += v.lineVoltage[p] / 3.0;
    v.totalActivePower += v.activePower[p];
    v.totalReactivePower += v.reactivePower[p];
    v.totalApparentPower += v.apparentPower[p];
  }
  v.totalPowerFactor = v.totalApparentPower > 0 ? v.totalActivePower / v.totalApparentPower : 0;
  v.frequencyHz = profile_.frequencyHz + 0.02 * prng_.Symmetric();

  lastActiveW_ = v.totalActivePower;
  lastReactiveVar_ = v.totalReactivePower;
  v.forwardActiveEnergyWh = forwardActiveWh_;
  v.reverseActiveEnergyWh = reverseActiveWh_;
  v.forwardReactiveEnergyVarh = forwardReactiveVarh_;
  v.reverseReactiveEnergyVarh = reverseReactiveVarh_;
  return v;
}

}  // namespace kt::sim
