// Builds decoded blocks from the phasors at the meter's inputs, so a test states a wiring fault
// the way it happens and gets every figure the meter would compute from it.
#pragma once

#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <utility>
#include <vector>

#include "values/MeasuredBlock.h"

namespace kt::workbench::testing {

using values::MeasuredBlock;
using values::Quantity;
using values::WiringMode;

class BlockBuilder {
 public:
  // A healthy balanced star load: 220 V, 5 A through 5:1 CTs, lagging power factor 0.95, 50 Hz.
  BlockBuilder() {
    const double lag = std::acos(0.95);
    for (int p = 0; p < 3; ++p) {
      u_[p] = std::polar(220.0, kAngle[p]);
      i_[p] = std::polar(5.0, kAngle[p] - lag);
    }
  }

  BlockBuilder& Mode(WiringMode m) {
    mode_ = m;
    return *this;
  }
  BlockBuilder& CtRatio(uint32_t ratio) {
    ct_ = ratio;
    return *this;
  }
  BlockBuilder& Volts(int phase, double volts) {
    u_[phase] = std::polar(volts, std::arg(u_[phase]));
    return *this;
  }
  BlockBuilder& Amps(int phase, double amps) {
    i_[phase] = std::polar(amps, std::arg(i_[phase]));
    return *this;
  }
  BlockBuilder& AllAmps(double amps) {
    for (int p = 0; p < 3; ++p) Amps(p, amps);
    return *this;
  }
  BlockBuilder& ReverseCt(int phase) {
    i_[phase] = -i_[phase];
    return *this;
  }
  BlockBuilder& SwapCurrents(int a, int b) {
    std::swap(i_[a], i_[b]);
    return *this;
  }
  // The current of `phase` lags its voltage by `deg`.
  BlockBuilder& CurrentAngle(int phase, double deg) {
    i_[phase] = std::polar(std::abs(i_[phase]), kAngle[phase] - deg * std::numbers::pi / 180.0);
    return *this;
  }
  BlockBuilder& Hz(double hz) {
    hz_ = hz;
    return *this;
  }
  // Overrides one figure after the rest is computed (a scale or register fault).
  BlockBuilder& Set(Quantity q, double value) {
    overrides_.push_back({q, value});
    return *this;
  }

  MeasuredBlock Build() const {
    MeasuredBlock b;
    b.wiringMode = static_cast<uint8_t>(mode_);
    b.ctRatio = ct_;
    // The meter totals what it measures: A alone, A and B (split phase), or all three.
    const int totalled = mode_ == WiringMode::SinglePhaseTwoWire     ? 1
                         : mode_ == WiringMode::SinglePhaseThreeWire ? 2
                                                                     : 3;
    double p = 0, q = 0, s = 0;
    // Three-wire modes measure two elements, U_AB with I_A and U_CB with I_C.
    const bool threeWire = mode_ == WiringMode::ThreePhaseThreeWireUnbalanced ||
                           mode_ == WiringMode::ThreePhaseThreeWireBalanced;
    for (int n = 0; n < 3; ++n) {
      const auto& phase = kt::values::kPhaseQuantities[static_cast<std::size_t>(n)];
      const std::complex<double> element = threeWire ? u_[n] - u_[1] : u_[n];
      const std::complex<double> power = element * std::conj(i_[n]);
      const double apparent = std::abs(power);
      if (threeWire && n == 1) {  // no element on B: its current only
        b[phase.voltage] = std::abs(u_[n]);
        b[phase.current] = std::abs(i_[n]);
        continue;
      }
      b[phase.voltage] = std::abs(u_[n]);
      b[phase.current] = std::abs(i_[n]);
      b[phase.active] = power.real();
      b[phase.reactive] = power.imag();
      b[phase.apparent] = apparent;
      b[phase.powerFactor] = apparent > 0 ? power.real() / apparent : 0.0;
      if (n >= totalled) continue;
      p += power.real();
      q += power.imag();
      s += apparent;
    }
    b[Quantity::LineVoltageAB] = std::abs(u_[0] - u_[1]);
    b[Quantity::LineVoltageBC] = std::abs(u_[1] - u_[2]);
    b[Quantity::LineVoltageCA] = std::abs(u_[2] - u_[0]);
    b[Quantity::ZeroSequenceCurrent] = std::abs(i_[0] + i_[1] + i_[2]) / 3.0;
    b[Quantity::TotalActivePower] = p;
    b[Quantity::TotalReactivePower] = q;
    b[Quantity::TotalApparentPower] = s;
    b[Quantity::TotalPowerFactor] = s > 0 ? p / s : 0.0;
    b[Quantity::Frequency] = hz_;
    for (const auto& [quantity, value] : overrides_) b[quantity] = value;
    return b;
  }

 private:
  static constexpr std::array<double, 3> kAngle = {0.0, -2 * std::numbers::pi / 3,
                                                   2 * std::numbers::pi / 3};
  std::array<std::complex<double>, 3> u_{};
  std::array<std::complex<double>, 3> i_{};
  WiringMode mode_ = WiringMode::ThreePhaseFourWireUnbalanced;
  uint32_t ct_ = 5;
  double hz_ = 50.0;
  std::vector<std::pair<Quantity, double>> overrides_;
};

}  // namespace kt::workbench::testing
