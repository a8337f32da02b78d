// The register table of the measurement block and its scaling.
#include "values/MeasurementBlock.h"

namespace kt::values {
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
    {0, Unsigned, Voltage, F::Voltage},
    {2, Unsigned, Voltage, F::Voltage},
    {4, Unsigned, Current, F::Current},
    {8, Signed, Power, F::ActivePower},
    {10, Signed, PowerFactor, F::PowerFactor},
    {12, Signed, Power, F::ReactivePower},
    {14, Unsigned, Apparent, F::ApparentPower},
    // phase B: phase voltage, line voltage, current, P, power factor, Q, S
    {16, Unsigned, Voltage, F::Voltage},
    {18, Unsigned, Voltage, F::Voltage},
    {20, Unsigned, Current, F::Current},
    {24, Signed, Power, F::ActivePower},
    {26, Signed, PowerFactor, F::PowerFactor},
    {28, Signed, Power, F::ReactivePower},
    {30, Unsigned, Apparent, F::ApparentPower},
    // phase C: phase voltage, line voltage, current, P, power factor, Q, S
    {32, Unsigned, Voltage, F::Voltage},
    {34, Unsigned, Voltage, F::Voltage},
    {36, Unsigned, Current, F::Current},
    {40, Signed, Power, F::ActivePower},
    {42, Signed, PowerFactor, F::PowerFactor},
    {44, Signed, Power, F::ReactivePower},
    {46, Unsigned, Apparent, F::ApparentPower},
    // zero-sequence current, combined voltage and current, frequency, totals, energies
    {48, Unsigned, Current, F::Current},
    {50, Unsigned, Voltage, F::Voltage},
    {52, Unsigned, Current, F::Current},
    {54, Unsigned, Frequency, F::Frequency},
    {56, Signed, Power, F::ActivePower},
    {58, Signed, PowerFactor, F::PowerFactor},
    {60, Signed, Power, F::ReactivePower},
    {62, Unsigned, Apparent, F::ApparentPower},
    {66, EnergyPair, Energy, F::ForwardActiveEnergy},
    {70, EnergyPair, Energy, F::ReverseActiveEnergy},
    {74, EnergyPair, Energy, F::ForwardReactiveEnergy},
    {78, EnergyPair, Energy, F::ReverseReactiveEnergy},
};

static_assert(std::size(kBlockFields) + 1 == kShownValueCount);

// The mean line voltage is derived from the three line voltage registers.
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

// One raw step of each scaling, as a count of decimals: raw x PT / 100 moves in hundredths,
// raw x 0.00106813 in steps of eight decimals, raw x PT x CT / 5 in tenths (2 / 10).
int StepDecimals(Scaling scaling) {
  switch (scaling) {
    case Voltage:
      return 2;
    case Current:
    case PowerFactor:
      return 4;
    case Power:
    case Apparent:
      return 1;
    case Frequency:
      return 8;
    case Energy:
      break;
  }
  return 0;
}

}  // namespace

int ResolutionDecimals(size_t index) {
  if (index < std::size(kBlockFields)) return StepDecimals(kBlockFields[index].scaling);
  return StepDecimals(Voltage);  // the mean line voltage
}

uint32_t EnergyRaw(const uint8_t* b) {
  return static_cast<uint32_t>(Word(b + 2)) << 16 | Word(b);
}

std::array<ShownValue, kShownValueCount> DecodeBlock(const uint8_t* payload,
                                                     const ScaleFactors& scale) {
  std::array<ShownValue, kShownValueCount> shown{};
  size_t n = 0;
  for (const BlockField& field : kBlockFields) {
    const double raw = RawValue(payload + field.payloadOffset, field.raw);
    shown[n++] = {field.family, Scaled(raw, field.scaling, scale)};
  }
  double lineSum = 0;
  for (int offset : kLineVoltageOffsets) lineSum += Word(payload + offset);
  shown[n] = {UnitFamily::Voltage, lineSum * static_cast<double>(scale.ptRatio) / 100 / 3};
  return shown;
}

}  // namespace kt::values
