// The wiring check over sites computed from first principles (SiteBlocks.h): healthy sites of
// every kind give no 异常 and only the notes their load explains; each wiring fault is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SiteBlocks.h"
#include "workbench/WiringCheck.h"

using namespace kt::workbench;
using kt::measure::WiringMode;
using kt::workbench::testing::Fault;
using kt::workbench::testing::Site;

namespace {

constexpr int A = 0, B = 1, C = 2;
constexpr WiringMode kFour = WiringMode::ThreePhaseFourWireUnbalanced;
constexpr WiringMode kThree = WiringMode::ThreePhaseThreeWireUnbalanced;

struct Finding {
  Verdict verdict;
  std::vector<std::string> texts;  // all in one row's message
};

struct SiteCase {
  const char* label;
  Site site;
  Fault fault;
  WiringMode mode;
  std::vector<Finding> required;  // rows that must be there (at this verdict)
  // Texts a row that is not 正常 may carry besides the required ones (a healthy site's notes).
  std::vector<std::string> allowed;
};

void PrintTo(const SiteCase& c, std::ostream* out) {
  *out << c.label;
}

std::string Dump(const std::vector<CheckRow>& rows) {
  std::string text;
  for (const CheckRow& r : rows) {
    text += r.name + " " + VerdictText(r.verdict) + " " + r.message + "\n";
  }
  return text;
}

bool Has(const CheckRow& row, const std::vector<std::string>& texts) {
  return std::all_of(texts.begin(), texts.end(), [&](const std::string& t) {
    return row.message.find(t) != std::string::npos;
  });
}

Site With(void (*change)(Site&)) {
  Site s;
  change(s);
  return s;
}
Fault Reversed(std::vector<int> phases) {
  Fault f;
  for (int p : phases) f.reversed[p] = true;
  return f;
}
Fault Sources(int a, int b, int c) {
  Fault f;
  f.source = {a, b, c};
  return f;
}
Fault Lost(int p) {
  Fault f;
  f.lostVoltage[p] = true;
  return f;
}
Fault Shorted(int p) {
  Fault f;
  f.shortedCt[p] = true;
  return f;
}

const Site kSite;
const Site kThreeWireSite = With([](Site& s) { s.threeWire = true; });

const std::vector<SiteCase> kHealthy = {
    {"normal", kSite, {}, kFour, {}, {}},
    {"lowPf03", With([](Site& s) { s.powerFactor = 0.3; }), {}, kFour, {}, {}},
    {"lowPf04", With([](Site& s) { s.powerFactor = 0.4; }), {}, kFour, {}, {}},
    {"lowPf05", With([](Site& s) { s.powerFactor = 0.5; }), {}, kFour, {}, {}},
    {"leading09", With([](Site& s) { s.leading = true, s.powerFactor = 0.9; }), {}, kFour, {}, {}},
    {"overCompensated04",
     With([](Site& s) { s.leading = true, s.powerFactor = 0.4; }),
     {},
     kFour,
     {},
     {}},
    {"exportHighPf",
     With([](Site& s) { s.exporting = true; }),
     {},
     kFour,
     {{Verdict::Note, {"功率倒送"}}},
     {}},
    {"exportLowPf",
     With([](Site& s) { s.exporting = true, s.powerFactor = 0.4; }),
     {},
     kFour,
     {{Verdict::Note, {"功率倒送"}}},
     {}},
    {"load05Percent",
     With([](Site& s) { s.loadPercent = 0.5; }),
     {},
     kFour,
     {},
     {"电流太小，无法判断"}},
    {"load2Percent", With([](Site& s) { s.loadPercent = 2; }), {}, kFour, {}, {}},
    {"load2PercentCoarseRegisters",
     With([](Site& s) { s.loadPercent = 2, s.pt = 1, s.ct = 1, s.powerMultiplier = 4; }),
     {},
     kFour,
     {},
     {}},
    {"standby", With([](Site& s) { s.loadPercent = 1.5, s.powerFactor = 0.2; }), {}, kFour, {}, {}},
    {"harmonics30", With([](Site& s) { s.thirdHarmonicPercent = 30; }), {}, kFour, {}, {}},
    {"harmonics60",
     With([](Site& s) { s.thirdHarmonicPercent = 60; }),
     {},
     kFour,
     {{Verdict::Note, {"A相视在功率", "畸变功率占视在功率的51.4%"}}},
     {"谐波"}},
    {"unbalance15", With([](Site& s) { s.currentUnbalance = 0.15; }), {}, kFour, {}, {}},
    {"unbalanceMinus15", With([](Site& s) { s.currentUnbalance = -0.15; }), {}, kFour, {}, {}},
    {"supplyUnbalance4", With([](Site& s) { s.supplyUnbalance = 0.04; }), {}, kFour, {}, {}},
    {"threeWire", kThreeWireSite, {}, kThree, {}, {}},
    {"threeWireBalancedMode", kThreeWireSite, {}, WiringMode::ThreePhaseThreeWireBalanced, {}, {}},
    {"threeWireLowPf",
     With([](Site& s) { s.threeWire = true, s.powerFactor = 0.4; }),
     {},
     kThree,
     {},
     {}},
    {"threeWireLeading",
     With([](Site& s) { s.threeWire = true, s.leading = true, s.powerFactor = 0.8; }),
     {},
     kThree,
     {},
     {}},
    {"threeWireUnbalanced",
     With([](Site& s) { s.threeWire = true, s.currentUnbalance = 0.15; }),
     {},
     kThree,
     {},
     {}},
    {"threeWireExport",
     With([](Site& s) { s.threeWire = true, s.exporting = true; }),
     {},
     kThree,
     {{Verdict::Note, {"功率倒送"}}},
     {}},
};

const std::vector<SiteCase> kFaulty = {
    {"reversedA",
     kSite,
     Reversed({A}),
     kFour,
     {{Verdict::Fault, {"A相有功功率为负", "接反"}}},
     {"零序电流"}},
    {"reversedB",
     kSite,
     Reversed({B}),
     kFour,
     {{Verdict::Fault, {"B相有功功率为负", "接反"}}},
     {"零序电流"}},
    {"reversedC",
     kSite,
     Reversed({C}),
     kFour,
     {{Verdict::Fault, {"C相有功功率为负", "接反"}}},
     {"零序电流"}},
    {"reversedBLowPf",
     With([](Site& s) { s.powerFactor = 0.4; }),
     Reversed({B}),
     kFour,
     {{Verdict::Fault, {"B相", "接反"}}},
     {"零序电流"}},
    {"reversedCLightLoad",
     With([](Site& s) { s.loadPercent = 3; }),
     Reversed({C}),
     kFour,
     {{Verdict::Fault, {"C相有功功率为负", "接反"}}},
     {"零序电流"}},
    {"reversedAB",
     kSite,
     Reversed({A, B}),
     kFour,
     {{Verdict::Fault, {"A、B相电流互感器接反"}}},
     {"零序电流", "接反"}},
    {"swapAB",
     kSite,
     Sources(B, A, C),
     kFour,
     {{Verdict::Fault, {"A、B相电流互换"}}},
     {"零序电流", "来自"}},
    {"swapBC",
     kSite,
     Sources(A, C, B),
     kFour,
     {{Verdict::Fault, {"B、C相电流互换"}}},
     {"零序电流", "来自"}},
    {"swapCA",
     kSite,
     Sources(C, B, A),
     kFour,
     {{Verdict::Fault, {"A、C相电流互换"}}},
     {"零序电流", "来自"}},
    {"rotationForward",
     kSite,
     Sources(B, C, A),
     kFour,
     {{Verdict::Note, {"电流相序轮换（A、B、C相输入分别接入B、C、A相电流）"}}},
     {}},
    {"rotationBackward",
     kSite,
     Sources(C, A, B),
     kFour,
     {{Verdict::Note, {"电流相序轮换（A、B、C相输入分别接入C、A、B相电流）"}}},
     {}},
    {"blownPtFuseA", kSite, Lost(A), kFour, {{Verdict::Fault, {"A相电压", "失压"}}}, {}},
    {"shortedCtB",
     kSite,
     Shorted(B),
     kFour,
     {{Verdict::Note, {"B相电流", "短接"}}},
     {"电流太小", "接线方式设置可能与现场不符", "零序电流"}},
    {"exportReversedA",
     With([](Site& s) { s.exporting = true; }),
     Reversed({A}),
     kFour,
     {{Verdict::Fault, {"A相", "接反"}}},
     {"零序电流", "接反"}},
    {"reversedAndSwapped",
     kSite,
     [] {
       Fault f = Sources(A, C, B);
       f.reversed[A] = true;
       return f;
     }(),
     kFour,
     {{Verdict::Fault, {"A相电流互感器接反且B、C相电流互换"}}},
     {"零序电流", "来自", "接反"}},
    {"threeWireReversedC",
     kThreeWireSite,
     Reversed({C}),
     kThree,
     {{Verdict::Fault, {"C元件", "接反"}}, {Verdict::Fault, {"各元件负载相角 18° / -162°"}}},
     {"接反"}},
    {"threeWireReversedA",
     kThreeWireSite,
     Reversed({A}),
     kThree,
     {{Verdict::Fault, {"A元件", "接反"}}},
     {"接反"}},
    {"threeWireSwapAC",
     kThreeWireSite,
     Sources(C, B, A),
     kThree,
     {{Verdict::Fault, {"A、C相电流互换"}}},
     {"来自"}},
    {"threeWireLostA", kThreeWireSite, Lost(A), kThree, {{Verdict::Fault, {"A相失压"}}}, {}},
    {"threeWireLostC", kThreeWireSite, Lost(C), kThree, {{Verdict::Fault, {"C相失压"}}}, {}},
    {"fourWireModeOnThreeWireSite",
     kThreeWireSite,
     {},
     kFour,
     {{Verdict::Note, {"接线方式设置可能与现场不符"}}},
     {"短接", "电流太小", "零序电流"}},
    {"threeWireModeOnFourWireSite",
     With([](Site& s) { s.currentUnbalance = 0.15; }),
     {},
     kThree,
     {{Verdict::Note, {"接线方式设置可能与现场不符"}}},
     {}},
};

class WiringSiteTest : public ::testing::TestWithParam<SiteCase> {};

TEST_P(WiringSiteTest, NamesTheFaultAndNothingElse) {
  const SiteCase& c = GetParam();
  const std::vector<CheckRow> rows = CheckWiring(SiteBlock(c.site, c.fault, c.mode));
  for (const Finding& f : c.required) {
    EXPECT_TRUE(
        std::any_of(rows.begin(), rows.end(),
                    [&](const CheckRow& r) { return r.verdict == f.verdict && Has(r, f.texts); }))
        << "missing " << VerdictText(f.verdict) << " \"" << f.texts.front() << "\" in\n"
        << Dump(rows);
  }
  for (const CheckRow& r : rows) {
    if (r.verdict == Verdict::Normal) continue;
    const bool explained =
        std::any_of(c.required.begin(), c.required.end(),
                    [&](const Finding& f) { return r.verdict == f.verdict && Has(r, f.texts); }) ||
        std::any_of(c.allowed.begin(), c.allowed.end(),
                    [&](const std::string& t) { return r.message.find(t) != std::string::npos; });
    EXPECT_TRUE(explained) << "unexplained row in\n" << Dump(rows);
  }
}

INSTANTIATE_TEST_SUITE_P(Healthy, WiringSiteTest, ::testing::ValuesIn(kHealthy),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });
INSTANTIATE_TEST_SUITE_P(Faulty, WiringSiteTest, ::testing::ValuesIn(kFaulty),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

}  // namespace

namespace {

// Healthy sites over a grid of power factors (both ways), loads, unbalances, harmonics, scales
// and directions: none may raise 异常.
TEST(WiringSiteSweep, NoHealthySiteRaisesAFault) {
  int sites = 0;
  for (double pf : {0.15, 0.3, 0.5, 0.7, 0.9, 1.0}) {
    for (bool leading : {false, true}) {
      for (double load : {1.2, 3.0, 20.0, 100.0}) {
        for (double unbalance : {-0.15, 0.0, 0.15}) {
          for (double harmonic : {0.0, 40.0}) {
            for (bool threeWire : {false, true}) {
              for (bool exporting : {false, true}) {
                Site s;
                s.powerFactor = pf, s.leading = leading, s.loadPercent = load;
                s.currentUnbalance = unbalance, s.thirdHarmonicPercent = harmonic;
                s.threeWire = threeWire, s.exporting = exporting;
                s.pt = threeWire ? 1 : 100, s.ct = threeWire ? 1 : 200;
                s.powerMultiplier = threeWire ? 4 : 1;
                ++sites;
                const auto rows = CheckWiring(SiteBlock(s, {}, threeWire ? kThree : kFour));
                for (const CheckRow& r : rows) {
                  EXPECT_NE(r.verdict, Verdict::Fault)
                      << "PF " << pf << (leading ? " leading" : "") << " load " << load
                      << " unbalance " << unbalance << " harmonics " << harmonic
                      << (threeWire ? " 3p3w" : "") << (exporting ? " export" : "") << "\n"
                      << Dump(rows);
                }
              }
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(sites, 1152);
}

// One reversed CT on any phase, at any power factor down to 0.3 either way and any load from
// 3 % of the CT rating, is named on its phase.
TEST(WiringSiteSweep, EveryReversedCtIsNamed) {
  for (int phase : {A, B, C}) {
    for (double pf : {0.3, 0.6, 0.95}) {
      for (bool leading : {false, true}) {
        for (double load : {3.0, 50.0}) {
          for (bool exporting : {false, true}) {
            Site s;
            s.powerFactor = pf, s.leading = leading, s.loadPercent = load;
            s.exporting = exporting;
            const auto rows = CheckWiring(SiteBlock(s, Reversed({phase}), kFour));
            const std::string name = std::string(1, static_cast<char>('A' + phase)) + "相有功功率";
            EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const CheckRow& r) {
              return r.verdict == Verdict::Fault && Has(r, {name, "接反"});
            })) << Dump(rows);
          }
        }
      }
    }
  }
}

}  // namespace

namespace {

// Each swap of two currents, four-wire and (A/C) three-wire, at power factors down to 0.3 either
// way and from 3 % of the CT rating, is named as that swap.
TEST(WiringSiteSweep, EverySwapIsNamed) {
  struct Swap {
    Fault fault;
    WiringMode mode;
    bool threeWire;
    const char* text;
  };
  const Swap swaps[] = {{Sources(B, A, C), kFour, false, "A、B相电流互换"},
                        {Sources(A, C, B), kFour, false, "B、C相电流互换"},
                        {Sources(C, B, A), kFour, false, "A、C相电流互换"},
                        {Sources(C, B, A), kThree, true, "A、C相电流互换"}};
  for (const Swap& swap : swaps) {
    for (double pf : {0.3, 0.6, 0.95}) {
      for (bool leading : {false, true}) {
        for (double load : {3.0, 50.0}) {
          Site s;
          s.powerFactor = pf, s.leading = leading, s.loadPercent = load;
          s.threeWire = swap.threeWire;
          const auto rows = CheckWiring(SiteBlock(s, swap.fault, swap.mode));
          EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                                  [&](const CheckRow& r) {
                                    return r.verdict == Verdict::Fault && Has(r, {swap.text});
                                  }))
              << "PF " << pf << (leading ? " leading" : "") << " load " << load << "\n"
              << Dump(rows);
        }
      }
    }
  }
}

}  // namespace
