// Decoding and scaling of the 90 payload bytes of the measurement block.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "measure/ShownValueBoxes.h"
#include "ui/MainDialogIds.h"
#include "values/MeasurementBlock.h"

using namespace kt::measure;
using namespace kt::values;
using namespace kt::ui::main_ids;

namespace {

using Payload = std::array<uint8_t, kBlockPayloadBytes>;

void PutRegister(Payload& p, size_t reg, uint16_t value) {
  p[2 * reg] = static_cast<uint8_t>(value >> 8);
  p[2 * reg + 1] = static_cast<uint8_t>(value & 0xFF);
}

std::map<int, double> ValuesById(const Payload& p, const ScaleFactors& s) {
  std::map<int, double> byId;
  const auto shown = DecodeBlock(p.data(), s);
  for (size_t i = 0; i < shown.size(); ++i) byId[kShownValueBoxes[i]] = shown[i].value;
  return byId;
}

TEST(DecodeBlock, EveryBoxReadsItsOwnRegister) {
  // Each register holds its own number + 1, so a value read from the wrong place shows up.
  Payload p{};
  for (size_t reg = 0; reg < 45; ++reg) PutRegister(p, reg, static_cast<uint16_t>(reg + 1));
  const auto v = ValuesById(p, {});
  struct Expect {
    int id;
    int reg;
    double perRaw;
  };
  const Expect expected[] = {
      {kPhaseVoltageABox, 0x00, 0.01},     {kLineVoltageCABox, 0x01, 0.01},
      {kCurrentABox, 0x02, 1e-4},          {kActivePowerABox, 0x04, 0.1},
      {kPowerFactorABox, 0x05, 1e-4},      {kReactivePowerABox, 0x06, 0.1},
      {kApparentPowerABox, 0x07, 0.2},     {kPhaseVoltageBBox, 0x08, 0.01},
      {kLineVoltageABBox, 0x09, 0.01},     {kCurrentBBox, 0x0A, 1e-4},
      {kActivePowerBBox, 0x0C, 0.1},       {kPowerFactorBBox, 0x0D, 1e-4},
      {kReactivePowerBBox, 0x0E, 0.1},     {kApparentPowerBBox, 0x0F, 0.2},
      {kPhaseVoltageCBox, 0x10, 0.01},     {kLineVoltageBCBox, 0x11, 0.01},
      {kCurrentCBox, 0x12, 1e-4},          {kActivePowerCBox, 0x14, 0.1},
      {kPowerFactorCBox, 0x15, 1e-4},      {kReactivePowerCBox, 0x16, 0.1},
      {kApparentPowerCBox, 0x17, 0.2},     {kZeroSequenceCurrentBox, 0x18, 1e-4},
      {kPhaseVoltageTotalBox, 0x19, 0.01}, {kCurrentTotalBox, 0x1A, 1e-4},
      {kFrequencyBox, 0x1B, 0.00106813},   {kActivePowerTotalBox, 0x1C, 0.1},
      {kPowerFactorTotalBox, 0x1D, 1e-4},  {kReactivePowerTotalBox, 0x1E, 0.1},
      {kApparentPowerTotalBox, 0x1F, 0.2},
  };
  for (const Expect& e : expected) {
    EXPECT_DOUBLE_EQ(v.at(e.id), (e.reg + 1) * e.perRaw) << "box " << e.id;
  }
  // Energies: two registers, the lower one is the low word.
  EXPECT_DOUBLE_EQ(v.at(kForwardActiveEnergyBox), 0x23 * 65536.0 + 0x22);
  EXPECT_DOUBLE_EQ(v.at(kReverseActiveEnergyBox), 0x25 * 65536.0 + 0x24);
  EXPECT_DOUBLE_EQ(v.at(kForwardReactiveEnergyBox), 0x27 * 65536.0 + 0x26);
  EXPECT_DOUBLE_EQ(v.at(kReverseReactiveEnergyBox), 0x29 * 65536.0 + 0x28);
  // Mean of the line voltages 0x01, 0x09, 0x11 (raw 2, 10, 18).
  EXPECT_DOUBLE_EQ(v.at(kLineVoltageMeanBox), (2 + 10 + 18) / 100.0 / 3);
}

TEST(DecodeBlock, ScaleFactorsApplyWhereTheyBelong) {
  Payload p{};
  PutRegister(p, 0x00, 10000);  // phase A voltage
  PutRegister(p, 0x01, 100);    // the line voltages CA, AB and BC
  PutRegister(p, 0x09, 200);
  PutRegister(p, 0x11, 300);
  PutRegister(p, 0x02, 10000);   // phase A current
  PutRegister(p, 0x04, 0xFFFF);  // phase A active power, -1
  PutRegister(p, 0x05, 0xD8F0);  // power factor -10000
  PutRegister(p, 0x06, 0x8000);  // reactive power -32768
  PutRegister(p, 0x07, 0xFFFF);  // apparent power 65535, unsigned
  PutRegister(p, 0x15, 0x8000);  // phase C power factor -32768
  PutRegister(p, 0x1B, 65535);   // frequency
  PutRegister(p, 0x1D, 0x2710);  // total power factor 10000
  PutRegister(p, 0x21, 0x0001);  // forward active energy, low word 1
  PutRegister(p, 0x24, 0x0001);  // reverse active energy, high word 1
  const ScaleFactors s{100, 5, 4, 1000};
  const auto v = ValuesById(p, s);
  EXPECT_DOUBLE_EQ(v.at(kPhaseVoltageABox), 10000.0);                 // x PT / 100
  EXPECT_DOUBLE_EQ(v.at(kLineVoltageMeanBox), 200.0);                 // their mean, x PT / 100
  EXPECT_DOUBLE_EQ(v.at(kCurrentABox), 5.0);                          // x CT / 10000
  EXPECT_DOUBLE_EQ(v.at(kActivePowerABox), -1.0 * 100 * 5 * 4 / 10);  // signed, with k
  EXPECT_DOUBLE_EQ(v.at(kReactivePowerABox), -32768.0 * 100 * 5 * 4 / 10);
  EXPECT_DOUBLE_EQ(v.at(kApparentPowerABox), 65535.0 * 100 * 5 / 5);  // no k, divided by 5
  EXPECT_DOUBLE_EQ(v.at(kPowerFactorABox), -1.0);                     // no PT, CT or k
  EXPECT_DOUBLE_EQ(v.at(kPowerFactorCBox), -3.2768);
  EXPECT_DOUBLE_EQ(v.at(kPowerFactorTotalBox), 1.0);
  EXPECT_NEAR(v.at(kFrequencyBox), 69.9999, 5e-5);
  EXPECT_DOUBLE_EQ(v.at(kForwardActiveEnergyBox),
                   1.0 * 1000 * 100 * 5);  // x E x PT x CT, no divisor
  EXPECT_DOUBLE_EQ(v.at(kReverseActiveEnergyBox), 65536.0 * 1000 * 100 * 5);
  EXPECT_DOUBLE_EQ(v.at(kForwardReactiveEnergyBox),
                   0.0);  // reverse pairs are read unsigned like the forward ones
}

TEST(DecodeBlock, ZeroRatiosGiveZero) {
  Payload p{};
  for (size_t reg = 0; reg < 45; ++reg) PutRegister(p, reg, 1234);
  const auto v = ValuesById(p, {0, 0, 1, 1});
  EXPECT_DOUBLE_EQ(v.at(kPhaseVoltageABox), 0.0);
  EXPECT_DOUBLE_EQ(v.at(kCurrentABox), 0.0);
  EXPECT_DOUBLE_EQ(v.at(kForwardActiveEnergyBox), 0.0);
  EXPECT_DOUBLE_EQ(v.at(kPowerFactorABox), 0.1234);  // the power factor takes no ratio
}

}  // namespace
