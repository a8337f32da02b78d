// The simulated load wired wrongly: each input's figures follow from the voltage and the current
// that really meet there, and the options that switch the faults on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "sim/LoadModel.h"
#include "sim/SimOptions.h"

using namespace kt::sim;

namespace {

constexpr int A = 0, B = 1, C = 2;
constexpr uint64_t kNowUs = 2'000'000;

// The same seed draws the same noise, so a faulted sample can be set against the healthy one.
MeasuredValues Sample(const WiringFaults& faults, uint8_t wiring = 0) {
  LoadProfile profile;
  profile.wiringFaults = faults;
  LoadModel model(profile, 7);
  return model.Sample(kNowUs, wiring, 10, 20);
}

TEST(LoadFaults, SwappedCurrentsMeetTheWrongVoltage) {
  WiringFaults f;
  f.swapFirst = A;
  f.swapSecond = B;
  const MeasuredValues h = Sample({}), v = Sample(f);
  // A's input now sees B's current, 120° further behind; B's sees A's, 120° ahead.
  const double lag = std::acos(h.powerFactor[A]), third = 2 * std::numbers::pi / 3;
  EXPECT_NEAR(v.powerFactor[A], std::cos(third + lag), 1e-9);
  EXPECT_NEAR(v.powerFactor[B], std::cos(third - lag), 1e-9);
  EXPECT_LT(v.powerFactor[A], 0);
  EXPECT_LT(v.powerFactor[B], 0);
  EXPECT_NEAR(v.current[A], h.current[B], 1e-12);
  EXPECT_NEAR(v.apparentPower[A], h.phaseVoltage[A] * h.current[B], 1e-6);
  EXPECT_NEAR(v.powerFactor[C], h.powerFactor[C], 1e-12);
}

TEST(LoadFaults, LostPhaseHasNoVoltageAndNoPower) {
  WiringFaults f;
  f.lostVoltage[C] = true;
  const MeasuredValues h = Sample({}), v = Sample(f);
  EXPECT_EQ(v.phaseVoltage[C], 0);
  EXPECT_EQ(v.activePower[C], 0);
  EXPECT_EQ(v.apparentPower[C], 0);
  EXPECT_NEAR(v.current[C], h.current[C], 1e-12);          // the load still draws it
  EXPECT_NEAR(v.lineVoltage[2], h.phaseVoltage[B], 1e-9);  // line BC is now B against nothing
  EXPECT_NEAR(v.lineVoltage[0], h.phaseVoltage[A], 1e-9);  // line CA
}

TEST(LoadFaults, UnbalanceMovesCurrentFromCToA) {
  WiringFaults f;
  f.unbalancePercent = 30;
  const MeasuredValues h = Sample({}), v = Sample(f);
  EXPECT_NEAR(v.current[A], 1.3 * h.current[A], 1e-9);
  EXPECT_NEAR(v.current[B], h.current[B], 1e-12);
  EXPECT_NEAR(v.current[C], 0.7 * h.current[C], 1e-9);
}

// Whatever the fault, every input's figures agree with each other and the totals add up.
TEST(LoadFaults, EveryFaultStaysSelfConsistent) {
  std::vector<WiringFaults> faults(5);
  faults[0].reversedCt = {true, false, true};
  faults[1].swapFirst = C, faults[1].swapSecond = A;
  faults[2].lostVoltage[A] = true;
  faults[3].unbalancePercent = 45;
  faults[4].reversedCt[B] = true, faults[4].swapFirst = B, faults[4].swapSecond = C;
  for (std::size_t n = 0; n < faults.size(); ++n) {
    for (uint8_t wiring = 0; wiring <= 5; ++wiring) {
      const MeasuredValues v = Sample(faults[n], wiring);
      double p = 0, q = 0, s = 0;
      // Three-wire modes measure two elements, U_AB with I_A and U_CB with I_C; none on B.
      const bool twoElements = wiring == 2 || wiring == 3;
      const std::array<double, 3> elementVolts =
          twoElements ? std::array<double, 3>{v.lineVoltage[1], 0, v.lineVoltage[2]}
                      : v.phaseVoltage;
      for (int ph = 0; ph < 3; ++ph) {
        EXPECT_NEAR(v.apparentPower[ph], elementVolts[ph] * v.current[ph], 1e-6) << n;
        EXPECT_NEAR(std::hypot(v.activePower[ph], v.reactivePower[ph]), v.apparentPower[ph], 1e-6)
            << n;
        if (v.apparentPower[ph] > 0) {
          EXPECT_NEAR(v.powerFactor[ph], v.activePower[ph] / v.apparentPower[ph], 1e-12) << n;
        }
        p += v.activePower[ph], q += v.reactivePower[ph], s += v.apparentPower[ph];
      }
      EXPECT_NEAR(v.totalActivePower, p, 1e-6) << n;
      EXPECT_NEAR(v.totalReactivePower, q, 1e-6) << n;
      EXPECT_NEAR(v.totalApparentPower, s, 1e-6) << n;
    }
  }
}

// A three-wire site: B's line current is what A and C do not return, no CT on B, and the meter's
// N terminal floats to the middle, so its phase voltages are the line voltages over √3.
TEST(LoadSite, ThreeWireSiteInFourWireModeShowsNoCurrentOnB) {
  WiringFaults f;
  f.threeWireSite = true;
  const MeasuredValues v = Sample(f, 0);
  EXPECT_EQ(v.current[B], 0);
  EXPECT_EQ(v.activePower[B], 0);
  for (int p : {A, C})
    EXPECT_NEAR(v.phaseVoltage[p] * std::sqrt(3.0), v.combinedLineVoltage,
                0.03 * v.combinedLineVoltage);
}

// Two elements measure the whole power of a three-wire load, and a blown fuse on A leaves its
// input midway between B and C.
TEST(LoadSite, TwoElementsMeasureTheWholeThreeWireLoad) {
  WiringFaults f;
  f.threeWireSite = true;
  // Balanced modes (3 and 5) give every phase A's magnitudes: the same load either way, up to
  // the noise of each phase.
  const MeasuredValues fourWire = Sample({}, 5), twoElements = Sample(f, 3);
  EXPECT_NEAR(twoElements.totalActivePower, fourWire.totalActivePower,
              0.01 * fourWire.totalActivePower);
  EXPECT_NEAR(twoElements.totalReactivePower, fourWire.totalReactivePower,
              0.01 * fourWire.totalActivePower);
  EXPECT_EQ(twoElements.activePower[B], 0);
  f.lostVoltage[A] = true;
  const MeasuredValues lost = Sample(f, 2);
  EXPECT_NEAR(lost.lineVoltage[1], lost.lineVoltage[2] / 2, 1e-6);  // AB is half of BC
  EXPECT_NEAR(lost.lineVoltage[0], lost.lineVoltage[2] / 2, 1e-6);  // CA as well
}

// Export turns every current round; the third harmonic raises the r.m.s. current and S, not P,
// and adds up in the zero-sequence current.
TEST(LoadSite, ExportAndHarmonics) {
  WiringFaults exporting;
  exporting.exporting = true;
  const MeasuredValues h = Sample({}), e = Sample(exporting);
  EXPECT_NEAR(e.totalActivePower, -h.totalActivePower, 1e-6);
  EXPECT_NEAR(e.reactivePower[A], -h.reactivePower[A], 1e-6);
  WiringFaults harmonics;
  harmonics.thirdHarmonicPercent = 60;
  const MeasuredValues d = Sample(harmonics);
  EXPECT_NEAR(d.current[A], h.current[A] * std::sqrt(1.36), 1e-9);
  EXPECT_NEAR(d.activePower[A], h.activePower[A], 1e-9);
  EXPECT_NEAR(std::hypot(d.activePower[A], d.reactivePower[A]) / d.apparentPower[A],
              1 / std::sqrt(1.36), 1e-9);
  EXPECT_GT(d.zeroSequenceCurrent, 0.55 * h.current[A]);  // 3 × 60 % of about 1.5 A, over 3
}

TEST(LoadFaultOptions, SwitchTheFaultsOn) {
  std::istringstream line(
      "kt7340-sim --reverse-ct B --reverse-ct c --swap-currents CA --lose-phase A --unbalance 12.5 "
      "--frequency 60 --pf -0.4 --export --site 3p3w --harmonics 60 --load 2 "
      "--rotate-currents backward");
  const std::vector<std::string> words(std::istream_iterator<std::string>(line), {});
  std::vector<const char*> argv(words.size());
  std::ranges::transform(words, argv.begin(), [](const std::string& word) { return word.c_str(); });
  SimOptions o;
  ASSERT_EQ(ParseSimOptions(static_cast<int>(argv.size()), argv.data(), o), std::nullopt);
  const WiringFaults& w = o.meter.load.wiringFaults;
  EXPECT_EQ(w.reversedCt, (std::array<bool, 3>{false, true, true}));
  EXPECT_EQ(w.swapFirst, C);
  EXPECT_EQ(w.swapSecond, A);
  EXPECT_TRUE(w.lostVoltage[A]);
  EXPECT_EQ(w.unbalancePercent, 12.5);
  EXPECT_EQ(o.meter.load.frequencyHz, 60);
  EXPECT_EQ(o.meter.load.powerFactor, -0.4);
  EXPECT_TRUE(w.exporting && w.threeWireSite);
  EXPECT_EQ(w.thirdHarmonicPercent, 60);
  const auto& amps = o.meter.load.current;  // 2 % of 5 A on average, unequal
  EXPECT_NEAR((amps[0] + amps[1] + amps[2]) / 3.0, 0.1, 1e-12);
  EXPECT_GT(amps[1], amps[0]);
  EXPECT_EQ(w.rotation, -1);
}

TEST(LoadFaultOptions, RefuseWhatIsNoPhaseOrOutOfRange) {
  const std::vector<std::pair<const char*, const char*>> bad = {
      {"--reverse-ct", "D"},     {"--reverse-ct", "AB"},
      {"--swap-currents", "AA"}, {"--swap-currents", "A"},
      {"--lose-phase", ""},      {"--unbalance", "101"},
      {"--unbalance", "x"},      {"--frequency", "70"},
      {"--frequency", "50Hz"},   {"--pf", "0"},
      {"--pf", "1.01"},          {"--pf", "-1.2"},
      {"--load", "121"},         {"--harmonics", "-1"},
      {"--site", "3p5w"},        {"--rotate-currents", "left"},
  };
  for (const auto& [option, value] : bad) {
    const char* argv[] = {"kt7340-sim", option, value};
    SimOptions o;
    const auto message = ParseSimOptions(3, argv, o);
    ASSERT_TRUE(message.has_value()) << option << " " << value;
    EXPECT_NE(message->find(option), std::string::npos) << *message;
  }
}

}  // namespace
