// Turning a decoded value into its display text, with the unit chosen from its size.
#pragma once

#include <string>

namespace kt::values {

enum class UnitFamily {
  Voltage,                // V, KV
  Current,                // A, KA
  ActivePower,            // W, KW, MW
  ReactivePower,          // Var, KVar, MVar
  ApparentPower,          // VA, KVA, MVA
  ForwardActiveEnergy,    // Wh, KWh, MWh
  ReverseActiveEnergy,    // -Wh, -KWh, -MWh: the value is a magnitude, the sign is the format's
  ForwardReactiveEnergy,  // Varh, KVarh, MVarh
  ReverseReactiveEnergy,  // -Varh, -KVarh, -MVarh
  PowerFactor,            // no unit
  Frequency,              // Hz
};

// Formats `x` (in the family's base unit): above 1000000 the mega step, above 1000 the kilo step,
// else the base unit. Both comparisons are strict and on the signed value, so a negative value
// always stays in the base unit. Voltage and current have no mega step; the power factor and
// the frequency have one format only.
std::string FormatValue(UnitFamily family, double x);

}  // namespace kt::values
