// Decoded blocks computed from a site and a wiring fault by phasors: the supply's voltages, the
// load's currents, what the CTs and the wiring bring to the meter's terminals, the two- or
// three-element measurement the wiring mode makes, and the registers' rounding at PT, CT and the
// power multiplier. Independent of the check's rules: it knows nothing of angles to compare.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

#include "values/MeasuredBlock.h"

namespace kt::workbench::testing {

using Complex = std::complex<double>;

// A load of its own power factor: between a phase and N, or between two phases.
struct Load {
  double percent = 0;  // of the CT's rated secondary
  double powerFactor = 1.0;
  bool leading = false;
  int from = 0, to = -1;  // phase, or the two phases of a load between phases
};

struct Site {
  bool threeWire = false;        // no neutral; CTs on A and C only
  double phaseVolts = 220.0;     // secondary
  double supplyUnbalance = 0.0;  // A's voltage up by this share, C's down
  double loadPercent = 60.0;     // of the CT's rated secondary, on every phase
  double powerFactor = 0.95;     // |PF| of every phase
  bool leading = false;
  std::vector<Load> loads;  // when given, the site's loads instead of the three above
  double ctSecondaryA = 5.0;
  bool exporting = false;           // active power flows to the grid
  double currentUnbalance = 0.0;    // A's current up by this share, C's down
  double thirdHarmonicPercent = 0;  // of each fundamental current
  uint16_t pt = 10, ct = 40;
  int powerMultiplier = 1;  // 1 or 4
  double hz = 50.0;
};

struct Fault {
  std::array<int, 3> source{0, 1, 2};  // which phase's CT feeds each current input
  std::array<bool, 3> reversed{};      // that input's current arrives the wrong way round
  std::array<bool, 3> lostVoltage{};   // the voltage input is open (blown PT fuse)
  std::array<bool, 3> shortedCt{};     // the input's CT is shorted: nothing reaches the meter
  // Three-wire: the open input settles on B's voltage (a PT with its fuse blown) rather than
  // midway between the other two.
  bool lostPulledToB = false;
  std::array<int, 3> voltageSource{0, 1, 2};  // which phase's voltage reaches each voltage input
  std::array<bool, 3> reversedVoltage{};      // that input's PT (three-wire: A's or C's) reversed
};

inline values::MeasuredBlock SiteBlock(const Site& s, const Fault& f, values::WiringMode mode) {
  using values::Quantity;
  constexpr double kDeg = std::numbers::pi / 180.0;
  constexpr std::array<double, 3> kAngle = {0.0, -120.0, 120.0};
  const std::array<double, 3> supply = {1 + s.supplyUnbalance, 1.0, 1 - s.supplyUnbalance};
  const std::array<double, 3> share = {1 + s.currentUnbalance, 1.0, 1 - s.currentUnbalance};
  std::vector<Load> loads = s.loads;
  for (int p = 0; p < 3 && s.loads.empty(); ++p) {
    loads.push_back({s.loadPercent * share[p], s.powerFactor, s.leading, p, -1});
  }
  std::array<Complex, 3> u{}, line{};
  for (int p = 0; p < 3; ++p) u[p] = std::polar(s.phaseVolts * supply[p], kAngle[p] * kDeg);
  for (const Load& l : loads) {
    // A load between two phases draws its current in phase with their line voltage, less φ.
    const Complex across = l.to < 0 ? u[l.from] : u[l.from] - u[l.to];
    const double phi = std::acos(l.powerFactor) * (l.leading ? -1 : 1);
    const Complex i = std::polar(l.percent / 100.0 * s.ctSecondaryA, std::arg(across) - phi);
    line[l.from] += i;
    if (l.to >= 0) line[l.to] -= i;
  }
  for (Complex& i : line) i = s.exporting ? -i : i;
  if (s.threeWire) line[1] = -(line[0] + line[2]);  // no neutral to return the rest
  // CT secondaries; a three-wire site has none on B.
  std::array<Complex, 3> ct = line;
  if (s.threeWire) ct[1] = 0;
  std::array<Complex, 3> in{}, terminal{};
  for (int p = 0; p < 3; ++p) {
    in[p] = f.shortedCt[p] ? Complex{} : ct[f.source[p]] * (f.reversed[p] ? -1.0 : 1.0);
    terminal[p] = u[f.voltageSource[p]];
  }
  for (int p = 0; p < 3; ++p) {
    if (!f.reversedVoltage[p]) continue;
    // Four-wire: the phase's PT reversed against N; three-wire (V-connected PTs, B common):
    // A's or C's PT reversed against B.
    terminal[p] = s.threeWire ? 2.0 * terminal[1] - terminal[p] : -terminal[p];
  }
  for (int p = 0; p < 3; ++p) {
    if (!f.lostVoltage[p]) continue;
    // An open input floats: to N on a four-wire site, midway between the others without one,
    // or onto B's through the PT whose fuse blew.
    terminal[p] = !s.threeWire      ? Complex{}
                  : f.lostPulledToB ? u[1]
                                    : (u[(p + 1) % 3] + u[(p + 2) % 3]) / 2.0;
  }
  const Complex neutral = s.threeWire ? (terminal[0] + terminal[1] + terminal[2]) / 3.0 : Complex{};

  const double h = s.thirdHarmonicPercent / 100.0;
  const auto rms = [&](Complex i) { return std::abs(i) * std::sqrt(1 + h * h); };

  // Registers' resolution.
  const double volt = s.pt / 100.0, amp = s.ct / 10000.0,
               watt = static_cast<double>(s.pt) * s.ct * s.powerMultiplier / 10.0,
               va = static_cast<double>(s.pt) * s.ct / 5.0;
  const auto round = [](double v, double step) { return std::round(v / step) * step; };

  values::MeasuredBlock b;
  b.wiringMode = static_cast<uint8_t>(mode);
  b.ptRatio = s.pt;
  b.ctRatio = s.ct;
  const bool threeWireMode = mode == values::WiringMode::ThreePhaseThreeWireUnbalanced ||
                             mode == values::WiringMode::ThreePhaseThreeWireBalanced;
  double pSum = 0, qSum = 0, sSum = 0;
  for (int p = 0; p < 3; ++p) {
    const auto& phase = kt::values::kPhaseQuantities[static_cast<std::size_t>(p)];
    b[phase.voltage] = round(std::abs(terminal[p] - neutral) * s.pt, volt);
    b[phase.current] = round(rms(in[p]) * s.ct, amp);
    Complex v = terminal[p] - neutral;
    if (threeWireMode) {
      if (p == 1) continue;  // two elements: U_AB with I_A, U_CB with I_C
      v = terminal[p] - terminal[1];
    }
    const Complex power = v * std::conj(in[p]) * (static_cast<double>(s.pt) * s.ct);
    const double apparent = std::abs(v) * rms(in[p]) * s.pt * s.ct;
    b[phase.active] = round(power.real(), watt);
    b[phase.reactive] = round(power.imag(), watt);
    b[phase.apparent] = round(apparent, va);
    b[phase.powerFactor] = apparent > 0 ? round(power.real() / apparent, 1e-4) : 0.0;
    pSum += power.real();
    qSum += power.imag();
    sSum += apparent;
  }
  b[Quantity::LineVoltageAB] = round(std::abs(terminal[0] - terminal[1]) * s.pt, volt);
  b[Quantity::LineVoltageBC] = round(std::abs(terminal[1] - terminal[2]) * s.pt, volt);
  b[Quantity::LineVoltageCA] = round(std::abs(terminal[2] - terminal[0]) * s.pt, volt);
  // What the three current inputs add up to, the third harmonics (in phase) included.
  Complex fundamental, third;
  for (int p = 0; p < 3; ++p) {
    fundamental += in[p];
    third += std::polar(h * std::abs(in[p]), 3 * std::arg(in[p]));
  }
  b[Quantity::ZeroSequenceCurrent] =
      round(std::hypot(std::abs(fundamental), std::abs(third)) / 3.0 * s.ct, amp);
  b[Quantity::TotalActivePower] = round(pSum, watt);
  b[Quantity::TotalReactivePower] = round(qSum, watt);
  b[Quantity::TotalApparentPower] = round(sSum, va);
  b[Quantity::TotalPowerFactor] = sSum > 0 ? round(pSum / sSum, 1e-4) : 0.0;
  b[Quantity::Frequency] = round(s.hz, 0.00106813);
  return b;
}

}  // namespace kt::workbench::testing
