// The register table of the measurement block and its scaling.
#include "measure/MeasurementBlock.h"

namespace kt::measure {
namespace {

enum class RawKind { Unsigned, Signed, EnergyPair };  // EnergyPair: two registers, low word first

enum class Scaling {
  Voltage,      // raw x PT / 100
  Current,      // raw x CT / 10000
  Power,        // raw x PT x CT x k / 10 (active and reactive)
  Apparent,     // raw x PT x CT / 5
  PowerFactor,  // raw / 10000
  Frequency,    // raw x 0.00106813
  Energy,       // raw x E x PT x CT
};

struct BlockField {
  int payloadOffset;
  int controlId;
  RawKind raw;
  Scaling scaling;
  UnitFamily family;
};

using enum RawKind;
using enum Scaling;
using F = UnitFamily;

// Every read value in display order; registers 0x0003, 0x000B, 0x0013, 0x0020 and 0x0029 on
// are not read.
constexpr BlockField kBlockFields[] = {
    // phase A: phase voltage, line voltage, current, P, power factor, Q, S
    {0, 1001, Unsigned, Voltage, F::Voltage},
    {2, 1026, Unsigned, Voltage, F::Voltage},
    {4, 1030, Unsigned, Current, F::Current},
    {8, 1034, Signed, Power, F::ActivePower},
    {10, 1046, Signed, PowerFactor, F::PowerFactor},
    {12, 1038, Signed, Power, F::ReactivePower},
    {14, 1042, Unsigned, Apparent, F::ApparentPower},
    // phase B: phase voltage, line voltage, current, P, power factor, Q, S
    {16, 1002, Unsigned, Voltage, F::Voltage},
    {18, 1027, Unsigned, Voltage, F::Voltage},
    {20, 1031, Unsigned, Current, F::Current},
    {24, 1035, Signed, Power, F::ActivePower},
    {26, 1047, Signed, PowerFactor, F::PowerFactor},
    {28, 1039, Signed, Power, F::ReactivePower},
    {30, 1043, Unsigned, Apparent, F::ApparentPower},
    // phase C: phase voltage, line voltage, current, P, power factor, Q, S
    {32, 1003, Unsigned, Voltage, F::Voltage},
    {34, 1028, Unsigned, Voltage, F::Voltage},
    {36, 1032, Unsigned, Current, F::Current},
    {40, 1036, Signed, Power, F::ActivePower},
    {42, 1048, Signed, PowerFactor, F::PowerFactor},
    {44, 1040, Signed, Power, F::ReactivePower},
    {46, 1044, Unsigned, Apparent, F::ApparentPower},
    // zero-sequence current, combined voltage and current, frequency, totals, energies
    {48, 1050, Unsigned, Current, F::Current},
    {50, 1000, Unsigned, Voltage, F::Voltage},
    {52, 1029, Unsigned, Current, F::Current},
    {54, 1049, Unsigned, Frequency, F::Frequency},
    {56, 1033, Signed, Power, F::ActivePower},
    {58, 1045, Signed, PowerFactor, F::PowerFactor},
    {60, 1037, Signed, Power, F::ReactivePower},
    {62, 1041, Unsigned, Apparent, F::ApparentPower},
    {66, 1053, EnergyPair, Energy, F::ForwardActiveEnergy},
    {70, 1054, EnergyPair, Energy, F::ReverseActiveEnergy},
    {74, 1055, EnergyPair, Energy, F::ForwardReactiveEnergy},
    {78, 1056, EnergyPair, Energy, F::ReverseReactiveEnergy},
};

static_assert(std::size(kBlockFields) + 1 == kShownValueCount);

// The mean line voltage is derived from the three line voltage registers.
constexpr int kMeanLineVoltageControl = 1025;
constexpr int kLineVoltageOffsets[] = {2, 18, 34};

uint16_t Word(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

double RawValue(const uint8_t* at, RawKind kind) {
  switch (kind) {
    case Signed:
      return static_cast<int16_t>(Word(at));
    case EnergyPair:
      return EnergyRaw(at);
    case Unsigned:
      break;
  }
  return Word(at);
}

double Scaled(double raw, Scaling scaling, const ScaleFactors& f) {
  const double pt = f.ptRatio;
  const double ct = f.ctRatio;
  switch (scaling) {
    case Voltage:
      return raw * pt / 100;
    case Current:
      return raw * ct / 10000;
    case Power:
      return raw * pt * ct * f.powerMultiplier / 10;
    case Apparent:
      return raw * pt * ct / 5;
    case PowerFactor:
      return raw / 10000;
    case Frequency:
      return raw * 0.00106813;
    case Energy:
      return raw * f.energyMultiplier * pt * ct;
  }
  return raw;
}

}  // namespace

uint32_t EnergyRaw(const uint8_t* b) {
  return static_cast<uint32_t>(Word(b + 2)) << 16 | Word(b);
}

std::array<ShownValue, kShownValueCount> DecodeBlock(const uint8_t* payload,
                                                     const ScaleFactors& scale) {
  std::array<ShownValue, kShownValueCount> shown{};
  size_t n = 0;
  for (const BlockField& field : kBlockFields) {
    const double raw = RawValue(payload + field.payloadOffset, field.raw);
    shown[n++] = {field.controlId, field.family, Scaled(raw, field.scaling, scale)};
  }
  double lineSum = 0;
  for (int offset : kLineVoltageOffsets) lineSum += Word(payload + offset);
  shown[n] = {kMeanLineVoltageControl, UnitFamily::Voltage,
              lineSum * static_cast<double>(scale.ptRatio) / 100 / 3};
  return shown;
}

}  // namespace kt::measure
