// The register model: the measurement block decodes (by the monitor's formulas) to the simulated
// physical values, the configuration page reflects the settings, limits give the status codes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/Meter.h"

using namespace kt::sim;

namespace {

// The monitor's decoding of one register of the block, written out independently.
struct Decoded {
  std::vector<uint16_t> r;
  double pt, ct, k, e;
  double U(int i) const { return r[i] * pt / 100.0; }
  double I(int i) const { return r[i] * ct / 10000.0; }
  double P(int i) const { return static_cast<int16_t>(r[i]) * pt * ct * k / 10.0; }
  double S(int i) const { return r[i] * pt * ct / 5.0; }
  double PF(int i) const { return static_cast<int16_t>(r[i]) / 10000.0; }
  double E(int i) const { return (r[i + 1] * 65536.0 + r[i]) * e * pt * ct; }
};

struct ScaleCase {
  uint16_t pt, ct;
  bool k4;
  uint8_t exponent;
};

class EncodingTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(EncodingTest, BlockDecodesToPhysicalValuesWithinOneStep) {
  const ScaleCase c = GetParam();
  MeterConfig config;
  config.ptRatio = c.pt;
  config.ctRatio = c.ct;
  config.powerMultiplierFlag = c.k4;
  config.energyExponent = c.exponent;
  Meter meter(config);
  for (uint64_t t : {1'000'000ull, 5'000'000ull}) {
    std::vector<uint16_t> regs;
    ASSERT_EQ(meter.Read(0, 45, t, regs), ModbusException::None);
    const MeasuredValues& v = meter.lastBlock();
    const Decoded d{regs, double(c.pt), double(c.ct), c.k4 ? 4.0 : 1.0, std::pow(10.0, c.exponent)};
    const double vStep = c.pt / 100.0, iStep = c.ct / 10000.0;
    const double pStep = double(c.pt) * c.ct * d.k / 10.0, sStep = double(c.pt) * c.ct / 5.0;
    const double eStep = d.e * c.pt * c.ct;
    for (int p = 0; p < 3; ++p) {
      const int b = 8 * p;
      EXPECT_NEAR(d.U(b), v.phaseVoltage[p], vStep / 2 + 1e-9);
      EXPECT_NEAR(d.U(b + 1), v.lineVoltage[p], vStep / 2 + 1e-9);
      EXPECT_NEAR(d.I(b + 2), v.current[p], iStep / 2 + 1e-9);
      EXPECT_NEAR(d.P(b + 4), v.activePower[p], pStep / 2 + 1e-9);
      EXPECT_NEAR(d.PF(b + 5), v.powerFactor[p], 0.00005 + 1e-12);
      EXPECT_NEAR(d.P(b + 6), v.reactivePower[p], pStep / 2 + 1e-9);
      EXPECT_NEAR(d.S(b + 7), v.apparentPower[p], sStep / 2 + 1e-9);
    }
    EXPECT_NEAR(d.I(0x18), v.zeroSequenceCurrent, iStep / 2 + 1e-9);
    EXPECT_NEAR(d.U(0x19), v.combinedVoltage, vStep / 2 + 1e-9);
    EXPECT_NEAR(d.I(0x1A), v.combinedCurrent, iStep / 2 + 1e-9);
    EXPECT_NEAR(regs[0x1B] * 0.00106813, v.frequencyHz, 0.00106813 / 2);
    EXPECT_NEAR(d.P(0x1C), v.totalActivePower, pStep / 2 + 1e-9);
    EXPECT_NEAR(d.PF(0x1D), v.totalPowerFactor, 0.00005 + 1e-12);
    EXPECT_NEAR(d.P(0x1E), v.totalReactivePower, pStep / 2 + 1e-9);
    EXPECT_NEAR(d.S(0x1F), v.totalApparentPower, sStep / 2 + 1e-9);
    EXPECT_NEAR(d.E(0x21), v.forwardActiveEnergyWh, eStep / 2 + 1e-6);
    EXPECT_NEAR(d.E(0x23), v.reverseActiveEnergyWh, eStep / 2 + 1e-6);
    EXPECT_NEAR(d.E(0x25), v.forwardReactiveEnergyVarh, eStep / 2 + 1e-6);
    EXPECT_NEAR(d.E(0x27), v.reverseReactiveEnergyVarh, eStep / 2 + 1e-6);
    EXPECT_EQ(meter.lastBlockRegisters()[0x1B], regs[0x1B]);
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, EncodingTest,
                         testing::Values(ScaleCase{1, 1, false, 0}, ScaleCase{100, 5, false, 0},
                                         ScaleCase{1, 1, true, 0}, ScaleCase{10, 20, true, 3},
                                         ScaleCase{1, 1, false, 6}));

TEST(MeterValues, LookLikeAThreePhaseFourWireLoadThatMovesAndAccumulates) {
  Meter meter({});
  std::vector<uint16_t> first, second;
  meter.Read(0, 45, 0, first);
  const MeasuredValues a = meter.lastBlock();
  meter.Read(0, 45, 3'600'000'000ull, second);  // one hour later
  const MeasuredValues b = meter.lastBlock();
  for (int p = 0; p < 3; ++p) {
    EXPECT_NEAR(a.phaseVoltage[p], 220, 5);
    EXPECT_NEAR(a.lineVoltage[p], 381, 8);
    EXPECT_GT(a.current[p], 1.0);
    EXPECT_LT(a.current[p], 2.0);
    EXPECT_NEAR(a.powerFactor[p], 0.95, 0.01);
  }
  EXPECT_NEAR(a.frequencyHz, 50, 0.05);
  EXPECT_NE(first, second);  // noise moves the values between blocks
  // An hour at the first block's power adds that many watt-hours.
  EXPECT_NEAR(b.forwardActiveEnergyWh - a.forwardActiveEnergyWh, a.totalActivePower, 1e-6);
  EXPECT_NEAR(b.forwardReactiveEnergyVarh - a.forwardReactiveEnergyVarh, a.totalReactivePower,
              1e-6);
  EXPECT_EQ(b.reverseActiveEnergyWh, a.reverseActiveEnergyWh);
}

TEST(MeterValues, SameSeedSameValuesOtherSeedOtherValues) {
  MeterConfig other;
  other.seed = 7;
  Meter m1({}), m2({}), m3(other);
  std::vector<uint16_t> r1, r2, r3;
  m1.Read(0, 45, 1000, r1);
  m2.Read(0, 45, 1000, r2);
  m3.Read(0, 45, 1000, r3);
  EXPECT_EQ(r1, r2);
  EXPECT_NE(r1, r3);
}

TEST(MeterValues, ClampedToTheRegisterRange) {
  MeterConfig config;
  config.load.current = {9.0, 9.0, 9.0};  // 90000 raw does not fit 16 bits
  config.load.noise = 0;
  Meter meter(config);
  std::vector<uint16_t> regs;
  meter.Read(0, 45, 0, regs);
  EXPECT_EQ(regs[2], 65535);
  EXPECT_EQ(static_cast<int16_t>(regs[0x1C]), 32767);  // 5.6 kW total is more than 3276.7 W
}

// The configuration page and the parameters as configured, and as written by a master (the
// address by broadcast): the same registers either way.
TEST(MeterConfigPage, ReflectsTheSettingsConfiguredOrWritten) {
  MeterConfig config;
  config.powerMultiplierFlag = true;
  config.energyExponent = 3;
  config.load.noise = 0;
  Meter written(config);
  ASSERT_EQ(written.Write(0x000E, {100, 0}, false, false), ModbusException::None);
  ASSERT_EQ(written.Write(0x0012, {5, 0}, false, false), ModbusException::None);
  ASSERT_EQ(written.Write(0x0002, {4}, true, false), ModbusException::None);
  ASSERT_EQ(written.Write(0x0022, {1}, true, false), ModbusException::None);
  ASSERT_EQ(written.Write(0x0028, {1, 2, 3, 4}, false, false), ModbusException::None);
  ASSERT_EQ(written.Write(0x0000, {17}, true, true), ModbusException::None);
  config.address = 17;
  config.ptRatio = 100;
  config.ctRatio = 5;
  config.wiring = 4;
  config.accuracyClass = 1;
  config.parameters = {1, 2, 3, 4};
  Meter configured(config);
  for (Meter* meter : {&configured, &written}) {
    std::vector<uint16_t> regs;
    ASSERT_EQ(meter->Read(0x0300, 19, 0, regs), ModbusException::None);
    EXPECT_EQ(regs[0], 17);
    EXPECT_EQ(regs[1], 4);
    EXPECT_EQ(regs[5], 1);
    EXPECT_EQ(regs[6], 3);
    EXPECT_EQ(regs[7], 100);
    EXPECT_EQ(regs[9], 5);
    EXPECT_EQ(regs[0x0A], 1);  // 0x030A agrees with 0x0305 on k = 4
    ASSERT_EQ(meter->Read(0x0322, 1, 0, regs), ModbusException::None);
    EXPECT_EQ(regs[0], 1);
    ASSERT_EQ(meter->Read(0x0328, 4, 0, regs), ModbusException::None);
    EXPECT_EQ(regs, (std::vector<uint16_t>{1, 2, 3, 4}));
    // Secondary values stay, the primary ones scale: raw voltage unchanged, decoded x100.
    meter->Read(0, 45, 0, regs);
    EXPECT_NEAR(regs[0] * 100 / 100.0, meter->lastBlock().phaseVoltage[0], 0.5);
    EXPECT_NEAR(meter->lastBlock().phaseVoltage[0], 22000, 10);
  }
}

TEST(MeterReads, OutsideTheKnownRangesIsAnAddressError) {
  Meter meter({});
  std::vector<uint16_t> regs;
  EXPECT_EQ(meter.Read(0x002C, 1, 0, regs), ModbusException::None);
  EXPECT_EQ(meter.Read(0x002C, 2, 0, regs), ModbusException::IllegalDataAddress);
  EXPECT_EQ(meter.Read(0x0100, 1, 0, regs), ModbusException::IllegalDataAddress);
  EXPECT_EQ(meter.Read(0x02FF, 2, 0, regs), ModbusException::IllegalDataAddress);
  EXPECT_EQ(meter.Read(0x032F, 1, 0, regs), ModbusException::None);
  EXPECT_EQ(meter.Read(0x0330, 1, 0, regs), ModbusException::IllegalDataAddress);
  EXPECT_EQ(meter.Read(0xFFFF, 1, 0, regs), ModbusException::IllegalDataAddress);
  EXPECT_EQ(meter.Read(0, 0, 0, regs), ModbusException::IllegalDataValue);
  EXPECT_EQ(meter.Read(0, 126, 0, regs), ModbusException::IllegalDataValue);
}

struct WriteCase {
  const char* what;
  uint16_t start;
  std::vector<uint16_t> values;
  bool single, broadcast;
  ModbusException expected;
};

class WriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteTest, AcceptsOrRefusesAsAWhole) {
  const WriteCase& c = GetParam();
  Meter meter({});
  EXPECT_EQ(meter.Write(c.start, c.values, c.single, c.broadcast), c.expected) << c.what;
  if (c.expected != ModbusException::None) {
    // Nothing of a refused write sticks.
    EXPECT_EQ(meter.ptRatio(), 1);
    EXPECT_EQ(meter.ctRatio(), 1);
    EXPECT_EQ(meter.wiring(), 0);
    EXPECT_EQ(meter.address(), 1);
    EXPECT_FALSE(meter.HasPendingLineChange());
  }
}

using E = ModbusException;
INSTANTIATE_TEST_SUITE_P(
    Cases, WriteTest,
    testing::Values(
        WriteCase{"wiring 5", 0x0002, {5}, true, false, E::None},
        WriteCase{"wiring 9", 0x0002, {9}, true, false, E::IllegalDataValue},
        WriteCase{"parity 3", 0x0006, {3}, true, false, E::IllegalDataValue},
        WriteCase{"baud code 5", 0x0008, {5}, true, false, E::IllegalDataValue},
        WriteCase{"accuracy 2", 0x0022, {2}, true, false, E::IllegalDataValue},
        WriteCase{"PT pair", 0x000E, {100, 0}, false, false, E::None},
        WriteCase{"PT high word", 0x000E, {100, 1}, false, false, E::IllegalDataValue},
        WriteCase{"PT zero", 0x000E, {0, 0}, false, false, E::IllegalDataValue},
        WriteCase{"PT alone", 0x000E, {100}, false, false, E::IllegalDataAddress},
        WriteCase{"PT single", 0x000E, {100}, true, false, E::IllegalDataAddress},
        WriteCase{"CT pair", 0x0012, {5, 0}, false, false, E::None},
        WriteCase{"parameters", 0x0028, {1, 2, 3, 4}, false, false, E::None},
        WriteCase{"past parameters", 0x0028, {1, 2, 3, 4, 5}, false, false, E::IllegalDataAddress},
        WriteCase{"address by unicast", 0x0000, {5}, true, false, E::IllegalDataAddress},
        WriteCase{"address 0 by broadcast", 0x0000, {0}, true, true, E::IllegalDataValue},
        WriteCase{"address 256 by broadcast", 0x0000, {256}, true, true, E::IllegalDataValue},
        WriteCase{"measurement register", 0x0004, {1}, true, false, E::IllegalDataAddress},
        WriteCase{"config page", 0x0307, {1}, true, false, E::IllegalDataAddress},
        WriteCase{
            "wiring good, 0x0003 unknown", 0x0002, {1, 0}, false, false, E::IllegalDataAddress}));

TEST(MeterWrites, LineChangeWaitsForCommit) {
  Meter meter({});
  ASSERT_EQ(meter.Write(0x0008, {4}, true, false), E::None);
  ASSERT_EQ(meter.Write(0x0006, {2}, true, false), E::None);
  EXPECT_EQ(meter.baudRate(), 9600);
  EXPECT_EQ(meter.parity(), 0);
  meter.CommitLineChange();
  EXPECT_EQ(meter.baudRate(), 19200);
  EXPECT_EQ(meter.parity(), 2);
}

struct StatusCase {
  std::array<double, 3> volts, amps;
  uint8_t voltageStatus, currentStatus;
};

class StatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(StatusTest, LimitsGivePackedCodes) {
  const StatusCase& c = GetParam();
  MeterConfig config;
  config.load.phaseVoltage = c.volts;
  config.load.current = c.amps;
  config.load.noise = 0;
  config.parameters = {19800, 24200, 5000, 30000};  // 198..242 V, 0.5..3 A
  Meter meter(config);
  std::vector<uint16_t> regs;
  meter.Read(0, 45, 0, regs);
  EXPECT_EQ(meter.lastBlock().voltageStatus, c.voltageStatus);
  EXPECT_EQ(meter.lastBlock().currentStatus, c.currentStatus);
  EXPECT_EQ(regs[0x29], c.voltageStatus << 8 | c.currentStatus);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusTest,
                         testing::Values(StatusCase{{220, 220, 220}, {1, 1, 1}, 0x00, 0x00},
                                         StatusCase{{190, 220, 220}, {1, 1, 1}, 0x40, 0x00},
                                         // mean (250+190+250)/3 = 230 is normal
                                         StatusCase{{250, 190, 250}, {1, 4, 0.2}, 0x98, 0x24},
                                         StatusCase{{250, 250, 250}, {4, 4, 4}, 0xAA, 0xAA},
                                         StatusCase{{100, 100, 100}, {0.1, 0.1, 0.1}, 0x55, 0x55}));

}  // namespace
