// Decoded blocks for the tests, two ways. By phasors, independent of the code under test (the
// wiring check's rules know nothing of angles to compare): what reaches the meter's voltage and
// current inputs, the two- or three-element measurement the wiring mode makes, and what the meter
// totals; either a site and a wiring fault as they happen (SiteBlock, rounded as the registers are
// at PT, CT and the power multiplier), or a healthy load changed figure by figure (BlockBuilder,
// exact, for a limit's edge). Or the simulated meter's own load (SimulatedBlocks): the load model,
// the block's registers and the monitor's decoder, given kt7340-sim's options, without a line.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "sim/LoadModel.h"
#include "sim/MeasurementEncoding.h"
#include "sim/SimOptions.h"
#include "values/MeasuredBlock.h"
#include "values/MeasuredBlockFromPayload.h"

namespace kt::testing {

using Complex = std::complex<double>;

// How finely the registers give each figure; 0: exactly.
struct Resolution {
  double volt = 0, amp = 0, watt = 0, va = 0, powerFactor = 0;
};

// The block for the voltages at the inputs (against N, or the star point of a three-wire
// measurement) and the currents at the inputs, in secondary units scaled by `pt` and `ct`. The
// currents carry `harmonic` of their fundamental as third harmonic. The meter totals what it
// measures: A alone, A and B (split phase), or all three.
inline values::MeasuredBlock BlockFromPhasors(const std::array<Complex, 3>& volts,
                                              const std::array<Complex, 3>& amps,
                                              values::WiringMode mode, double pt = 1, double ct = 1,
                                              double harmonic = 0, Resolution step = {}) {
  using values::Quantity;
  using values::WiringMode;
  const auto round = [](double v, double by) { return by > 0 ? std::round(v / by) * by : v; };
  const auto rms = [&](Complex i) { return std::abs(i) * std::sqrt(1 + harmonic * harmonic); };
  const int totalled = mode == WiringMode::SinglePhaseTwoWire     ? 1
                       : mode == WiringMode::SinglePhaseThreeWire ? 2
                                                                  : 3;
  const bool threeWire = mode == WiringMode::ThreePhaseThreeWireUnbalanced ||
                         mode == WiringMode::ThreePhaseThreeWireBalanced;
  values::MeasuredBlock b;
  b.wiringMode = static_cast<uint8_t>(mode);
  double pSum = 0, qSum = 0, sSum = 0;
  for (int p = 0; p < 3; ++p) {
    const auto& phase = values::kPhaseQuantities[static_cast<std::size_t>(p)];
    b[phase.voltage] = round(std::abs(volts[p]) * pt, step.volt);
    b[phase.current] = round(rms(amps[p]) * ct, step.amp);
    if (threeWire && p == 1) continue;  // two elements: U_AB with I_A, U_CB with I_C
    const Complex v = threeWire ? volts[p] - volts[1] : volts[p];
    const Complex power = v * std::conj(amps[p]) * (pt * ct);
    const double apparent = std::abs(v) * rms(amps[p]) * pt * ct;
    b[phase.active] = round(power.real(), step.watt);
    b[phase.reactive] = round(power.imag(), step.watt);
    b[phase.apparent] = round(apparent, step.va);
    b[phase.powerFactor] = apparent > 0 ? round(power.real() / apparent, step.powerFactor) : 0.0;
    if (p >= totalled) continue;
    pSum += power.real();
    qSum += power.imag();
    sSum += apparent;
  }
  b[Quantity::LineVoltageAB] = round(std::abs(volts[0] - volts[1]) * pt, step.volt);
  b[Quantity::LineVoltageBC] = round(std::abs(volts[1] - volts[2]) * pt, step.volt);
  b[Quantity::LineVoltageCA] = round(std::abs(volts[2] - volts[0]) * pt, step.volt);
  // What the three current inputs add up to, the third harmonics (in phase) included.
  Complex fundamental, third;
  for (int p = 0; p < 3; ++p) {
    fundamental += amps[p];
    third += std::polar(harmonic * std::abs(amps[p]), 3 * std::arg(amps[p]));
  }
  b[Quantity::ZeroSequenceCurrent] =
      round(std::hypot(std::abs(fundamental), std::abs(third)) / 3.0 * ct, step.amp);
  b[Quantity::TotalActivePower] = round(pSum, step.watt);
  b[Quantity::TotalReactivePower] = round(qSum, step.watt);
  b[Quantity::TotalApparentPower] = round(sSum, step.va);
  b[Quantity::TotalPowerFactor] = sSum > 0 ? round(pSum / sSum, step.powerFactor) : 0.0;
  return b;
}

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
  std::array<Complex, 3> volts{};
  for (int p = 0; p < 3; ++p) volts[p] = terminal[p] - neutral;
  // Registers' resolution.
  const Resolution step{s.pt / 100.0, s.ct / 10000.0,
                        static_cast<double>(s.pt) * s.ct * s.powerMultiplier / 10.0,
                        static_cast<double>(s.pt) * s.ct / 5.0, 1e-4};
  values::MeasuredBlock b =
      BlockFromPhasors(volts, in, mode, s.pt, s.ct, s.thirdHarmonicPercent / 100.0, step);
  b.ptRatio = s.pt;
  b.ctRatio = s.ct;
  b[values::Quantity::Frequency] = std::round(s.hz / 0.00106813) * 0.00106813;
  return b;
}

// A healthy balanced star load, 220 V and 5 A through 5:1 CTs at a lagging power factor of 0.95
// and 50 Hz, changed figure by figure; exact, in secondary units.
class BlockBuilder {
 public:
  BlockBuilder() {
    const double lag = std::acos(0.95);
    for (int p = 0; p < 3; ++p) {
      u_[p] = std::polar(220.0, kAngle[p]);
      i_[p] = std::polar(5.0, kAngle[p] - lag);
    }
  }

  BlockBuilder& Mode(values::WiringMode m) {
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
  BlockBuilder& Set(values::Quantity q, double value) {
    overrides_.emplace_back(q, value);
    return *this;
  }

  values::MeasuredBlock Build() const {
    values::MeasuredBlock b = BlockFromPhasors(u_, i_, mode_);
    b.ctRatio = ct_;
    b[values::Quantity::Frequency] = hz_;
    for (const auto& [quantity, value] : overrides_) b[quantity] = value;
    return b;
  }

 private:
  static constexpr std::array<double, 3> kAngle = {0.0, -2 * std::numbers::pi / 3,
                                                   2 * std::numbers::pi / 3};
  std::array<Complex, 3> u_{};
  std::array<Complex, 3> i_{};
  values::WiringMode mode_ = values::WiringMode::ThreePhaseFourWireUnbalanced;
  uint32_t ct_ = 5;
  double hz_ = 50.0;
  std::vector<std::pair<values::Quantity, double>> overrides_;
};

class SimulatedBlocks {
 public:
  // `options` as on kt7340-sim's command line, for example {"--reverse-ct", "B", "--ct", "20"}.
  explicit SimulatedBlocks(const std::vector<std::string>& options = {})
      : config_(Parse(options)), model_(config_.load, config_.seed) {}

  const sim::MeterConfig& config() const { return config_; }

  // The block as it would be decoded at `time`.
  values::MeasuredBlock At(std::chrono::system_clock::time_point time) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch());
    const sim::MeasuredValues values = model_.Sample(
        static_cast<uint64_t>(us.count()), config_.wiring, config_.ptRatio, config_.ctRatio);
    const int k = config_.powerMultiplierFlag ? 4 : 1;
    const auto registers =
        sim::EncodeMeasurementBlock(values, {config_.ptRatio, config_.ctRatio, k, 1.0});
    std::vector<uint8_t> payload;
    for (uint16_t r : registers) {
      payload.push_back(static_cast<uint8_t>(r >> 8));
      payload.push_back(static_cast<uint8_t>(r & 0xFF));
    }
    return values::ToMeasuredBlock(payload.data(), {config_.ptRatio, config_.ctRatio, k, 1},
                                   config_.wiring, config_.address, time);
  }

 private:
  static sim::MeterConfig Parse(const std::vector<std::string>& options) {
    std::vector<const char*> argv = {"kt7340-sim"};
    for (const std::string& o : options) argv.push_back(o.c_str());
    sim::SimOptions parsed;
    if (auto error = sim::ParseSimOptions(static_cast<int>(argv.size()), argv.data(), parsed)) {
      throw std::invalid_argument(*error);
    }
    return parsed.meter;
  }

  sim::MeterConfig config_;
  sim::LoadModel model_;
};

}  // namespace kt::testing

// The wiring check's tests name the phasor blocks from their own namespace.
namespace kt::workbench::testing {
using namespace kt::testing;
}  // namespace kt::workbench::testing
