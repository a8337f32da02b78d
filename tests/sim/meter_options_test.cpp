// The simulator's options for the meters on its line and for the line itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/MeterBus.h"
#include "sim/SimOptions.h"

namespace kt::sim {
namespace {

std::optional<std::string> Parse(std::vector<const char*> args, SimOptions& out) {
  args.insert(args.begin(), "kt7340-sim");
  return ParseSimOptions(static_cast<int>(args.size()), args.data(), out);
}

TEST(SimMeterOptions, EachWithinItsRange) {
  // Per rule: a value just inside its edge (nullptr: none) and one just outside.
  const struct {
    const char* option;
    const char* inside;
    const char* outside;
  } rules[] = {
      {"--meter", "1", "0"},
      {"--meter", "247", "248"},
      {"--meter", "5:pt=1", "5:pt=0"},
      {"--meter", "5:ct=65535", "5:ct=65536"},
      {"--meter", "5:wiring=5", "5:wiring=6"},
      {"--meter", "5:pt=2,ct=3,wiring=1", "5:pt=2,"},
      {"--meter", nullptr, "5:"},
      {"--meter", nullptr, "5:pt=2,pt=3"},
      {"--meter", nullptr, "5:kv=2"},
      {"--meter", "5:delay=60000", "5:delay=60001"},
      {"--meter", "5:site=load=120+reverse-ct=A+export", "5:site=load=121"},
      {"--meter", "5:site=load=A=100:1/B=5:0.4,delay=0", "5:site="},
      {"--meter", nullptr, "5:site=baud=2400"},
      {"--answer-delay", "0", "-1"},
      {"--answer-delay", "60000", "60001"},
      {"--drop-first", "1", "0"},
  };
  for (const auto& r : rules) {
    for (const char* value : {r.inside, r.outside}) {
      SimOptions o;
      if (value != nullptr) {
        EXPECT_EQ(!Parse({r.option, value}, o).has_value(), value == r.inside)
            << r.option << " " << value;
      }
    }
  }
  SimOptions twice;
  EXPECT_TRUE(Parse({"--meter", "4", "--meter", "4:pt=2"}, twice).has_value());
  // What the line's options set.
  SimOptions o;
  ASSERT_FALSE(Parse(
      {"--answer-delay", "300", "--drop-first", "2", "--echo", "--no-meter", "--any-parity"}, o));
  EXPECT_EQ(o.meter.responseDelayMs, 300u);
  EXPECT_TRUE(o.meter.delayFromRequestEnd);
  EXPECT_EQ(o.meter.faults.dropFirst, 2u);
  EXPECT_TRUE(o.echo && o.noMeter && o.meter.anyParity);
}

TEST(SimMeterOptions, EachMeterTakesTheLineAndTheDefaultsOfTheOtherOptions) {
  SimOptions o;
  ASSERT_FALSE(Parse({"--meter", "3:pt=100", "--baud", "2400", "--parity", "even", "--ct", "40",
                      "--meter", "17:wiring=2,ct=5", "--address", "9"},
                     o));
  const std::vector<MeterConfig> meters = MetersOf(o);
  ASSERT_EQ(meters.size(), 2u);
  EXPECT_EQ(meters[0].address, 3);
  EXPECT_EQ(meters[0].ptRatio, 100);
  EXPECT_EQ(meters[0].ctRatio, 40);
  EXPECT_EQ(meters[1].address, 17);
  EXPECT_EQ(meters[1].ptRatio, 1);
  EXPECT_EQ(meters[1].ctRatio, 5);
  EXPECT_EQ(meters[1].wiring, 2);
  for (const MeterConfig& m : meters) {
    EXPECT_EQ(m.baudRate, 2400);
    EXPECT_EQ(m.parity, 2);
  }
  // A meter's own site and answer delay go on from the options of all, and only for it.
  SimOptions own;
  ASSERT_FALSE(Parse({"--ct-secondary", "1", "--pf", "0.5", "--meter",
                      "3:delay=80,site=load=60+reverse-ct=C", "--meter", "17"},
                     own));
  const std::vector<MeterConfig> site = MetersOf(own);
  EXPECT_NEAR(site[0].load.current[0] + site[0].load.current[1] + site[0].load.current[2], 1.8,
              1e-9);  // 60 % of 1 A on each phase, on average
  EXPECT_EQ(site[0].load.powerFactor, 0.5);
  EXPECT_TRUE(site[0].load.wiringFaults.reversedCt[2]);
  EXPECT_TRUE(site[0].delayFromRequestEnd);
  EXPECT_EQ(site[0].responseDelayMs, 80u);
  EXPECT_FALSE(site[1].load.wiringFaults.reversedCt[2]);
  EXPECT_EQ(site[1].load.ctSecondaryA, 1.0);
  EXPECT_EQ(site[1].load.current, MeterConfig{}.load.current);
  SimOptions single;
  ASSERT_FALSE(Parse({"--address", "9", "--mismatch-garbage"}, single));
  EXPECT_TRUE(single.mismatchGarbage);
  ASSERT_EQ(MetersOf(single).size(), 1u);
  EXPECT_EQ(MetersOf(single)[0].address, 9);
}

// A master sampling twice as fast makes two characters of each; half as fast, one of two.
TEST(SimMeterOptions, GarbleCountFollowsTheRatioOfTheRates) {
  EXPECT_EQ(GarbledByteCount(7, 9600, 19200), 14u);
  EXPECT_EQ(GarbledByteCount(7, 9600, 4800), 3u);
  EXPECT_EQ(GarbledByteCount(7, 19200, 1200), 1u);
  EXPECT_EQ(GarbledByteCount(7, 1200, 19200), 32u);
  EXPECT_EQ(GarbledByteCount(7, 9600, 9600), 7u);
}

}  // namespace
}  // namespace kt::sim
