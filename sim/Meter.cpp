// The simulated meter's registers: what reads return and which writes it accepts.
#include "sim/Meter.h"

#include <cmath>

#include "sim/MeasurementEncoding.h"

namespace kt::sim {
namespace {

// Registers the master may write, with the function they need.
constexpr uint16_t kRegAddress = 0x0000;
constexpr uint16_t kRegWiring = 0x0002;
constexpr uint16_t kRegParity = 0x0006;
constexpr uint16_t kRegBaud = 0x0008;
constexpr uint16_t kRegPt = 0x000E;  // with 0x000F, the high word, which must be 0
constexpr uint16_t kRegCt = 0x0012;  // with 0x0013, likewise
constexpr uint16_t kRegAccuracy = 0x0022;
constexpr uint16_t kRegParameters = 0x0028;  // four registers

bool InBlock(uint32_t reg) {
  return reg < kBlockRegisters;
}
bool InConfig(uint32_t reg) {
  return reg >= kConfigStart && reg < kConfigStart + kConfigRegisters;
}

}  // namespace

Meter::Meter(const MeterConfig& c)
    : address_(c.address),
      line_{c.baudRate, c.parity},
      pt_(c.ptRatio),
      ct_(c.ctRatio),
      wiring_(c.wiring),
      accuracyClass_(c.accuracyClass),
      powerMultiplierFlag_(c.powerMultiplierFlag),
      energyExponent_(c.energyExponent),
      parameters_(c.parameters),
      statusTrailer_(c.statusTrailer),
      responseDelayMs_(c.responseDelayMs),
      faults_(c.faults),
      load_(c.load, c.seed) {}

void Meter::CommitLineChange() {
  if (pendingLine_) line_ = *pendingLine_;
  pendingLine_.reset();
}

uint16_t Meter::ConfigRegister(uint16_t reg) const {
  switch (reg) {
    case 0x0300:
      return address_;
    case 0x0301:
      return wiring_;
    case 0x0302:
      return static_cast<uint16_t>(line_.parity);
    case 0x0303:
      return static_cast<uint16_t>(BaudCode(line_.baud));
    case 0x0305:
      return powerMultiplierFlag_ ? 1 : 0;
    case 0x0306:
      return energyExponent_;
    case 0x0307:
      return pt_;
    case 0x0309:
      return ct_;
    case 0x030A:
      return powerMultiplierFlag_ ? 1 : 0;  // same k as 0x0305
    case 0x0322:
      return accuracyClass_;
    case 0x0328:
    case 0x0329:
    case 0x032A:
    case 0x032B:
      return parameters_[reg - 0x0328];
    default:
      return 0;
  }
}

void Meter::SampleBlock(uint64_t nowUs) {
  MeasuredValues v = load_.Sample(nowUs, wiring_, pt_, ct_);
  const LimitStatus status = CompareWithLimits(v, parameters_, pt_, ct_);
  v.voltageStatus = status.voltage;
  v.currentStatus = status.current;
  const BlockScales scales{pt_, ct_, powerMultiplier(), std::pow(10.0, energyExponent_)};
  lastRegisters_ = EncodeMeasurementBlock(v, scales);
  lastBlock_ = v;
  ++blockCount_;
}

ModbusException Meter::Read(uint16_t start, uint16_t count, uint64_t nowUs,
                            std::vector<uint16_t>& out) {
  if (count < 1 || count > 125) return ModbusException::IllegalDataValue;
  const uint32_t end = uint32_t{start} + count;  // one past the last register
  const bool block = InBlock(start) && InBlock(end - 1);
  const bool config = InConfig(start) && InConfig(end - 1);
  if (!block && !config) return ModbusException::IllegalDataAddress;
  if (block) SampleBlock(nowUs);
  out.clear();
  for (uint32_t reg = start; reg < end; ++reg) {
    out.push_back(block ? lastRegisters_[reg] : ConfigRegister(static_cast<uint16_t>(reg)));
  }
  return ModbusException::None;
}

ModbusException Meter::Check(uint16_t reg, uint16_t value, uint16_t start, size_t count,
                             bool single, bool broadcast) const {
  const auto holds = [&](uint16_t r) { return r >= start && r < start + count; };
  switch (reg) {
    case kRegAddress:
      if (!broadcast) return ModbusException::IllegalDataAddress;
      return value >= 1 && value <= 255 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegWiring:
      return value <= 5 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegParity:
      return value <= 2 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegBaud:
      return value <= 4 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegAccuracy:
      return value <= 1 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegPt:
    case kRegCt:
      if (single || !holds(reg + 1)) return ModbusException::IllegalDataAddress;
      return value >= 1 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegPt + 1:
    case kRegCt + 1:
      if (single || !holds(reg - 1)) return ModbusException::IllegalDataAddress;
      return value == 0 ? ModbusException::None : ModbusException::IllegalDataValue;
    case kRegParameters:
    case kRegParameters + 1:
    case kRegParameters + 2:
    case kRegParameters + 3:
      return ModbusException::None;
    default:
      return ModbusException::IllegalDataAddress;
  }
}

void Meter::Apply(uint16_t reg, uint16_t value) {
  switch (reg) {
    case kRegAddress:
      address_ = static_cast<uint8_t>(value);
      break;
    case kRegWiring:
      wiring_ = static_cast<uint8_t>(value);
      break;
    case kRegParity:
      pendingLine_ = LineSettings{pendingLine_.value_or(line_).baud, value};
      break;
    case kRegBaud:
      pendingLine_ = LineSettings{BaudFromCode(value), pendingLine_.value_or(line_).parity};
      break;
    case kRegPt:
      pt_ = value;
      break;
    case kRegCt:
      ct_ = value;
      break;
    case kRegAccuracy:
      accuracyClass_ = static_cast<uint8_t>(value);
      break;
    case kRegParameters:
    case kRegParameters + 1:
    case kRegParameters + 2:
    case kRegParameters + 3:
      parameters_[reg - kRegParameters] = value;
      break;
    default:
      break;  // the high words of PT and CT hold nothing
  }
}

ModbusException Meter::Write(uint16_t start, const std::vector<uint16_t>& values, bool single,
                             bool broadcast) {
  if (values.empty() || uint32_t{start} + values.size() > 0x10000) {
    return ModbusException::IllegalDataAddress;
  }
  // Addresses first, then values: a write to an unknown register is a 02 even if a value is bad.
  ModbusException valueProblem = ModbusException::None;
  for (size_t n = 0; n < values.size(); ++n) {
    const auto reg = static_cast<uint16_t>(start + n);
    const ModbusException e = Check(reg, values[n], start, values.size(), single, broadcast);
    if (e == ModbusException::IllegalDataAddress) return e;
    if (e != ModbusException::None && valueProblem == ModbusException::None) valueProblem = e;
  }
  if (valueProblem != ModbusException::None) return valueProblem;
  for (size_t n = 0; n < values.size(); ++n) Apply(static_cast<uint16_t>(start + n), values[n]);
  return ModbusException::None;
}

}  // namespace kt::sim
