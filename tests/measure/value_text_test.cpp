// Decoded values as exact decimal text: the expected texts are worked out from the raw registers
// in integers, the decimal point placed by hand.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "values/MeasuredBlockFromPayload.h"
#include "values/MeasurementBlock.h"
#include "values/ValueText.h"

using namespace kt::values;

namespace {

using Payload = std::array<uint8_t, kBlockPayloadBytes>;

void PutRegister(Payload& p, int reg, uint16_t value) {
  p[2 * reg] = static_cast<uint8_t>(value >> 8);
  p[2 * reg + 1] = static_cast<uint8_t>(value & 0xFF);
}

// `scaled` (the value times 10^decimals, an integer) as text with `decimals` places.
std::string Fixed(int64_t scaled, int decimals) {
  const bool negative = scaled < 0;
  std::string digits = std::to_string(negative ? -scaled : scaled);
  if (decimals > 0) {
    if (digits.size() <= static_cast<size_t>(decimals)) {
      digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<size_t>(decimals), ".");
  }
  return (negative ? "-" : "") + digits;
}

}  // namespace

TEST(ValueText, EachQuantityHasTheExactDecimalsOfItsRegister) {
  struct Case {
    const char* name;
    Quantity q;
    int reg;
    uint16_t raw;
    ScaleFactors scale;
    std::string expected;
  };
  const Case cases[] = {
      // 46829 x 0.00106813 = 50.01945977, which a double prints as 50.019459770000005.
      {"frequency", Quantity::Frequency, 0x1B, 46829, {}, Fixed(46829LL * 106813, 8)},
      {"frequency top", Quantity::Frequency, 0x1B, 65535, {}, Fixed(65535LL * 106813, 8)},
      {"voltage", Quantity::PhaseVoltageA, 0x00, 22013, {3, 1, 1, 1}, Fixed(22013LL * 3, 2)},
      {"voltage top",
       Quantity::PhaseVoltageB,
       0x08,
       65535,
       {64000, 1, 1, 1},
       Fixed(65535LL * 64000, 2)},
      {"current", Quantity::CurrentC, 0x12, 1, {1, 1, 1, 1}, Fixed(1, 4)},
      {"current CT", Quantity::CombinedCurrent, 0x1A, 49999, {1, 7, 1, 1}, Fixed(49999LL * 7, 4)},
      {"power factor -1 step", Quantity::PowerFactorA, 0x05, 0xFFFF, {}, Fixed(-1, 4)},
      {"power factor 0x8000", Quantity::TotalPowerFactor, 0x1D, 0x8000, {}, Fixed(-32768, 4)},
      {"active power k = 4",
       Quantity::ActivePowerA,
       0x04,
       0x8001,
       {100, 40, 4, 1},
       Fixed(-32767LL * 100 * 40 * 4, 1)},
      {"reactive power", Quantity::TotalReactivePower, 0x1E, 3, {1, 1, 1, 1}, Fixed(3, 1)},
      {"apparent power / 5", Quantity::ApparentPowerC, 0x17, 7, {1, 1, 1, 1}, Fixed(7 * 2, 1)},
      {"negative power with PT 0", Quantity::ActivePowerB, 0x0C, 0xFFFF, {0, 5, 1, 1}, "0.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Payload p{};
    PutRegister(p, c.reg, c.raw);
    const MeasuredBlock block = ToMeasuredBlock(p.data(), c.scale, 0, 1, {});
    EXPECT_EQ(ValueText(block, c.q), c.expected);
  }
}

TEST(ValueText, EnergiesAreWholeAndTheMeanLineVoltageHasTwoDecimals) {
  Payload p{};
  // Forward active energy 0xFFFFFFFF (low word first), E = 10^6: 4294967295000000 Wh.
  PutRegister(p, 0x21, 0xFFFF);
  PutRegister(p, 0x22, 0xFFFF);
  // Line voltages 100, 200 and 301: (601 / 100) / 3 = 2.00333...
  PutRegister(p, 0x01, 100);
  PutRegister(p, 0x09, 200);
  PutRegister(p, 0x11, 301);
  const MeasuredBlock block = ToMeasuredBlock(p.data(), {1, 1, 1, 1000000}, 0, 1, {});
  EXPECT_EQ(ValueText(block, Quantity::ForwardActiveEnergy), "4294967295000000");
  EXPECT_EQ(ValueText(block, Quantity::ReverseActiveEnergy), "0");
  EXPECT_EQ(ValueText(block, Quantity::CombinedLineVoltage), "2.00");
  // Rounding at the last place: half a step up, just below half a step down.
  EXPECT_EQ(DecimalText(2.005000001, 2), "2.01");
  EXPECT_EQ(DecimalText(2.004999999, 2), "2.00");
  EXPECT_EQ(DecimalText(-0.004, 2), "0.00");
  EXPECT_EQ(DecimalText(-0.006, 2), "-0.01");
}
