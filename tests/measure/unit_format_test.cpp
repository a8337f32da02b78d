// Unit selection and formats of every display family.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "values/UnitFormat.h"

using kt::values::FormatValue;
using F = kt::values::UnitFamily;

namespace {

struct Case {
  F family;
  double x;
  const char* text;
};

class FormatValueTest : public ::testing::TestWithParam<Case> {};

TEST_P(FormatValueTest, GivesTheFamilysText) {
  const Case& c = GetParam();
  EXPECT_EQ(FormatValue(c.family, c.x), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, FormatValueTest,
    ::testing::Values(
        // Voltage: two steps, the kilo step has no upper end.
        Case{F::Voltage, 1000, "1000.00 V"}, Case{F::Voltage, 1000.5, "1.00 KV"},
        Case{F::Voltage, 10000, "10.00 KV"}, Case{F::Voltage, 2500000, "2500.00 KV"},
        Case{F::Voltage, 0, "0.00 V"},
        // Current.
        Case{F::Current, 1000, "1000.0000 A"}, Case{F::Current, 1000.5, "1.0005 KA"},
        Case{F::Current, 5e6, "5000.0000 KA"},
        // Three-step families: strict comparisons, a value at a threshold stays below.
        Case{F::ActivePower, 1000000, "1000.0000 KW"}, Case{F::ActivePower, 1000001, "1.0000 MW"},
        Case{F::ActivePower, 999.96, "1000.0 W"}, Case{F::ActivePower, 1000, "1000.0 W"},
        Case{F::ActivePower, 1000.1, "1.0001 KW"}, Case{F::ReactivePower, 1500, "1.5000 KVar"},
        Case{F::ReactivePower, 2e6, "2.0000 MVar"}, Case{F::ApparentPower, 12, "12.0 VA"},
        Case{F::ApparentPower, 65535, "65.5350 KVA"}, Case{F::ApparentPower, 3e6, "3.0000 MVA"},
        // Negative powers never change unit, however large.
        Case{F::ActivePower, -1000000, "-1000000.0 W"},
        Case{F::ReactivePower, -10000, "-10000.0 Var"},
        Case{F::ActivePower, -5e9, "-5000000000.0 W"},
        // Energies; the reverse ones carry the minus sign in the format.
        Case{F::ForwardActiveEnergy, 0, "0.0 Wh"},
        Case{F::ForwardActiveEnergy, 123456789, "123.4568 MWh"},
        Case{F::ReverseActiveEnergy, 0, "-0.0 Wh"},
        Case{F::ReverseActiveEnergy, 10000, "-10.0000 KWh"},
        Case{F::ReverseActiveEnergy, 2e6, "-2.0000 MWh"},
        Case{F::ForwardReactiveEnergy, 999, "999.0 Varh"},
        Case{F::ForwardReactiveEnergy, 1001, "1.0010 KVarh"},
        Case{F::ReverseReactiveEnergy, 7, "-7.0 Varh"},
        Case{F::ReverseReactiveEnergy, 1e7, "-10.0000 MVarh"},
        // Single-format families.
        Case{F::PowerFactor, -0.5, "-0.5000"}, Case{F::PowerFactor, 1, "1.0000"},
        Case{F::PowerFactor, -3.2768, "-3.2768"}, Case{F::Frequency, 10.6813, "10.681 Hz"},
        Case{F::Frequency, 5000, "5000.000 Hz"}));

TEST(FormatValue, HugeValuesArePrintedInFull) {
  // Longer than any fixed text buffer: the whole number must come out, not a cut-off.
  EXPECT_EQ(FormatValue(F::ActivePower, -1e60),
            "-999999999999999949387135297074018866963645011013410073083904.0 W");
}

}  // namespace
