// Decoding and scaling of the 90 payload bytes of the measurement block.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "measure/MeasurementBlock.h"

using namespace kt::measure;

namespace {

using Payload = std::array<uint8_t, kBlockPayloadBytes>;

void PutRegister(Payload& p, int reg, uint16_t value) {
  p[2 * reg] = static_cast<uint8_t>(value >> 8);
  p[2 * reg + 1] = static_cast<uint8_t>(value & 0xFF);
}

std::map<int, double> ValuesById(const Payload& p, const ScaleFactors& s) {
  std::map<int, double> byId;
  for (const ShownValue& v : DecodeBlock(p.data(), s)) byId[v.controlId] = v.value;
  return byId;
}

TEST(DecodeBlock, WritesTheBoxesInRegisterOrder) {
  Payload p{};
  const std::vector<int> order = {1001, 1026, 1030, 1034, 1046, 1038, 1042, 1002, 1027,
                                  1031, 1035, 1047, 1039, 1043, 1003, 1028, 1032, 1036,
                                  1048, 1040, 1044, 1050, 1000, 1029, 1049, 1033, 1045,
                                  1037, 1041, 1053, 1054, 1055, 1056, 1025};
  std::vector<int> got;
  for (const ShownValue& v : DecodeBlock(p.data(), {})) got.push_back(v.controlId);
  EXPECT_EQ(got, order);
}

TEST(DecodeBlock, EveryBoxReadsItsOwnRegister) {
  // Each register holds its own number + 1, so a value read from the wrong place shows up.
  Payload p{};
  for (int reg = 0; reg < 45; ++reg) PutRegister(p, reg, static_cast<uint16_t>(reg + 1));
  const auto v = ValuesById(p, {});
  struct Expect {
    int id;
    int reg;
    double perRaw;
  };
  const Expect expected[] = {
      {1001, 0x00, 0.01},       {1026, 0x01, 0.01}, {1030, 0x02, 1e-4}, {1034, 0x04, 0.1},
      {1046, 0x05, 1e-4},       {1038, 0x06, 0.1},  {1042, 0x07, 0.2},  {1002, 0x08, 0.01},
      {1027, 0x09, 0.01},       {1031, 0x0A, 1e-4}, {1035, 0x0C, 0.1},  {1047, 0x0D, 1e-4},
      {1039, 0x0E, 0.1},        {1043, 0x0F, 0.2},  {1003, 0x10, 0.01}, {1028, 0x11, 0.01},
      {1032, 0x12, 1e-4},       {1036, 0x14, 0.1},  {1048, 0x15, 1e-4}, {1040, 0x16, 0.1},
      {1044, 0x17, 0.2},        {1050, 0x18, 1e-4}, {1000, 0x19, 0.01}, {1029, 0x1A, 1e-4},
      {1049, 0x1B, 0.00106813}, {1033, 0x1C, 0.1},  {1045, 0x1D, 1e-4}, {1037, 0x1E, 0.1},
      {1041, 0x1F, 0.2},
  };
  for (const Expect& e : expected) {
    EXPECT_DOUBLE_EQ(v.at(e.id), (e.reg + 1) * e.perRaw) << "box " << e.id;
  }
  // Energies: two registers, the lower one is the low word.
  EXPECT_DOUBLE_EQ(v.at(1053), 0x23 * 65536.0 + 0x22);
  EXPECT_DOUBLE_EQ(v.at(1054), 0x25 * 65536.0 + 0x24);
  EXPECT_DOUBLE_EQ(v.at(1055), 0x27 * 65536.0 + 0x26);
  EXPECT_DOUBLE_EQ(v.at(1056), 0x29 * 65536.0 + 0x28);
  // Mean of the line voltages 0x01, 0x09, 0x11 (raw 2, 10, 18).
  EXPECT_DOUBLE_EQ(v.at(1025), (2 + 10 + 18) / 100.0 / 3);
}

TEST(DecodeBlock, ScaleFactorsApplyWhereTheyBelong) {
  Payload p{};
  PutRegister(p, 0x00, 10000);   // phase A voltage
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
  EXPECT_DOUBLE_EQ(v.at(1001), 10000.0);                  // x PT / 100
  EXPECT_DOUBLE_EQ(v.at(1030), 5.0);                      // x CT / 10000
  EXPECT_DOUBLE_EQ(v.at(1034), -1.0 * 100 * 5 * 4 / 10);  // signed, with k
  EXPECT_DOUBLE_EQ(v.at(1038), -32768.0 * 100 * 5 * 4 / 10);
  EXPECT_DOUBLE_EQ(v.at(1042), 65535.0 * 100 * 5 / 5);  // no k, divided by 5
  EXPECT_DOUBLE_EQ(v.at(1046), -1.0);                   // no PT, CT or k
  EXPECT_DOUBLE_EQ(v.at(1048), -3.2768);
  EXPECT_DOUBLE_EQ(v.at(1045), 1.0);
  EXPECT_NEAR(v.at(1049), 69.9999, 5e-5);
  EXPECT_DOUBLE_EQ(v.at(1053), 1.0 * 1000 * 100 * 5);  // x E x PT x CT, no divisor
  EXPECT_DOUBLE_EQ(v.at(1054), 65536.0 * 1000 * 100 * 5);
  EXPECT_DOUBLE_EQ(v.at(1055), 0.0);  // reverse pairs are read unsigned like the forward ones
}

TEST(DecodeBlock, ZeroRatiosGiveZero) {
  Payload p{};
  for (int reg = 0; reg < 45; ++reg) PutRegister(p, reg, 1234);
  const auto v = ValuesById(p, {0, 0, 1, 1});
  EXPECT_DOUBLE_EQ(v.at(1001), 0.0);
  EXPECT_DOUBLE_EQ(v.at(1030), 0.0);
  EXPECT_DOUBLE_EQ(v.at(1053), 0.0);
  EXPECT_DOUBLE_EQ(v.at(1046), 0.1234);  // the power factor takes no ratio
}

TEST(EnergyRaw, LowWordComesFirst) {
  const uint8_t one[] = {0x00, 0x01, 0x00, 0x00};
  const uint8_t high[] = {0x00, 0x00, 0x00, 0x01};
  const uint8_t mixed[] = {0x12, 0x34, 0xAB, 0xCD};
  EXPECT_EQ(EnergyRaw(one), 1u);
  EXPECT_EQ(EnergyRaw(high), 65536u);
  EXPECT_EQ(EnergyRaw(mixed), 0xABCD1234u);
}

TEST(DecodeBlock, MeanLineVoltage) {
  Payload p{};
  PutRegister(p, 0x01, 100);
  PutRegister(p, 0x09, 200);
  PutRegister(p, 0x11, 300);
  EXPECT_DOUBLE_EQ(ValuesById(p, {}).at(1025), 2.0);
  EXPECT_DOUBLE_EQ(ValuesById(p, {100, 1, 1, 1}).at(1025), 200.0);
}

}  // namespace
