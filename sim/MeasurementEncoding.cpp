// Encoding of the measurement block and the limit comparison.
#include "sim/MeasurementEncoding.h"

#include <algorithm>
#include <cmath>

namespace kt::sim {
namespace {

uint16_t Unsigned(double raw) {
  return static_cast<uint16_t>(std::clamp(std::llround(raw), 0ll, 65535ll));
}
uint16_t Signed(double raw) {
  const long long r = std::clamp(std::llround(raw), -32768ll, 32767ll);
  return static_cast<uint16_t>(static_cast<int16_t>(r));
}
// Low word in the lower register.
void PutEnergy(std::array<uint16_t, kBlockRegisters>& regs, int at, double raw) {
  const auto value =
      static_cast<uint32_t>(std::clamp(std::llround(raw), 0ll, static_cast<long long>(UINT32_MAX)));
  regs[at] = static_cast<uint16_t>(value & 0xFFFF);
  regs[at + 1] = static_cast<uint16_t>(value >> 16);
}

uint8_t Code(double value, double under, double over) {
  if (under > 0 && value < under) return 1;
  if (over > 0 && value > over) return 2;
  return 0;
}
uint8_t Pack(const std::array<uint8_t, 4>& codes) {
  return static_cast<uint8_t>(codes[0] << 6 | codes[1] << 4 | codes[2] << 2 | codes[3]);
}

}  // namespace

std::array<uint16_t, kBlockRegisters> EncodeMeasurementBlock(const MeasuredValues& v,
                                                             const BlockScales& s) {
  const double volt = s.pt / 100.0;
  const double amp = s.ct / 10000.0;
  const double power = static_cast<double>(s.pt) * s.ct * s.k / 10.0;
  const double apparent = static_cast<double>(s.pt) * s.ct / 5.0;
  const double energy = s.e * s.pt * s.ct;

  std::array<uint16_t, kBlockRegisters> regs{};
  for (int p = 0; p < 3; ++p) {
    const int base = 8 * p;
    regs[base + 0] = Unsigned(v.phaseVoltage[p] / volt);
    regs[base + 1] = Unsigned(v.lineVoltage[p] / volt);
    regs[base + 2] = Unsigned(v.current[p] / amp);
    regs[base + 4] = Signed(v.activePower[p] / power);
    regs[base + 5] = Signed(v.powerFactor[p] * 10000.0);
    regs[base + 6] = Signed(v.reactivePower[p] / power);
    regs[base + 7] = Unsigned(v.apparentPower[p] / apparent);
  }
  regs[0x18] = Unsigned(v.zeroSequenceCurrent / amp);
  regs[0x19] = Unsigned(v.combinedVoltage / volt);
  regs[0x1A] = Unsigned(v.combinedCurrent / amp);
  regs[0x1B] = Unsigned(v.frequencyHz / kFrequencyStepHz);
  regs[0x1C] = Signed(v.totalActivePower / power);
  regs[0x1D] = Signed(v.totalPowerFactor * 10000.0);
  regs[0x1E] = Signed(v.totalReactivePower / power);
  regs[0x1F] = Unsigned(v.totalApparentPower / apparent);
  PutEnergy(regs, 0x21, v.forwardActiveEnergyWh / energy);
  PutEnergy(regs, 0x23, v.reverseActiveEnergyWh / energy);
  PutEnergy(regs, 0x25, v.forwardReactiveEnergyVarh / energy);
  PutEnergy(regs, 0x27, v.reverseReactiveEnergyVarh / energy);
  // The status pair is also kept in a spare register of the block (voltage byte high).
  regs[0x29] = static_cast<uint16_t>(v.voltageStatus << 8 | v.currentStatus);
  return regs;
}

LimitStatus CompareWithLimits(const MeasuredValues& v, const std::array<uint16_t, 4>& limits,
                              uint16_t pt, uint16_t ct) {
  const double underV = limits[0] * (pt / 100.0);
  const double overV = limits[1] * (pt / 100.0);
  const double underA = limits[2] * (ct / 10000.0);
  const double overA = limits[3] * (ct / 10000.0);
  std::array<uint8_t, 4> voltage{};
  std::array<uint8_t, 4> current{};
  for (int p = 0; p < 3; ++p) {
    voltage[p] = Code(v.phaseVoltage[p], underV, overV);
    current[p] = Code(v.current[p], underA, overA);
  }
  voltage[3] = Code(v.combinedVoltage, underV, overV);
  current[3] = Code(v.combinedCurrent, underA, overA);
  return {Pack(voltage), Pack(current)};
}

}  // namespace kt::sim
