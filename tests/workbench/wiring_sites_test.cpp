// The wiring check over sites computed from first principles (SiteBlocks.h): healthy sites of
// every kind give no 异常 and only the notes their load explains; each wiring fault is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckRows.h"
#include "SiteBlocks.h"
#include "workbench/WiringCheck.h"

using namespace kt::workbench;
using kt::measure::WiringMode;
using kt::workbench::testing::Fault;
using kt::workbench::testing::HasRow;
using kt::workbench::testing::Holds;
using kt::workbench::testing::RowsText;
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

Fault VoltageReversed(int p) {
  Fault f;
  f.reversedVoltage[p] = true;
  return f;
}
Fault LostPulledToB(int p) {
  Fault f = Lost(p);
  f.lostPulledToB = true;
  return f;
}

std::vector<CheckRow> Check(const Site& s, const Fault& f, WiringMode mode) {
  return CheckWiring(SiteBlock(s, f, mode), kWiringThresholds, 50.0, s.ctSecondaryA);
}

const Site kSite;
const Site kThreeWireSite = With([](Site& s) { s.threeWire = true; });
// A heater on A, a motor on B, lighting on C: each phase its own power factor and current.
const Site kMixedSite = With([](Site& s) {
  s.loads = {{100, 1.0, false, A, -1}, {5, 0.4, false, B, -1}, {30, 0.9, false, C, -1}};
});
// A 380 V load between A and B beside a star load on C.
const Site kLineLoadSite = With([](Site& s) {
  s.loads = {{40, 0.85, false, A, B}, {20, 0.9, false, C, -1}};
});
// Three-wire: loads between the lines, of different power factors.
const Site kThreeWireLineLoads = With([](Site& s) {
  s.threeWire = true;
  s.loads = {{50, 0.9, false, A, C}, {25, 0.6, false, A, B}, {10, 0.95, false, B, C}};
});
// 1 A CTs at 3 % of their rating: 0.03 A, under 1 % of a 5 A CT.
const Site kLight1A = With([](Site& s) { s.ctSecondaryA = 1.0, s.loadPercent = 3; });

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
    {"mixedLoads", kMixedSite, {}, kFour, {}, {}},
    {"lineToLineLoad", kLineLoadSite, {}, kFour, {}, {}},
    {"welderBetweenAB",
     With([](Site& s) { s.loads = {{50, 0.5, false, A, B}}; }),
     {},
     kFour,
     {},
     {"C相电流", "零序电流"}},
    {"singlePhaseLoadOnA",
     With([](Site& s) { s.loads = {{50, 0.9, false, A, -1}}; }),
     {},
     kFour,
     {},
     {"B相电流", "C相电流"}},
    {"threeWireLineLoads", kThreeWireLineLoads, {}, kThree, {}, {}},
    {"light1A", kLight1A, {}, kFour, {}, {}},
    {"mixedExport",
     With([](Site& s) {
       s.exporting = true;
       s.loads = {{80, 1.0, false, A, -1}, {70, 0.95, true, B, -1}, {75, 0.9, false, C, -1}};
     }),
     {},
     kFour,
     {{Verdict::Note, {"功率倒送", "停用发电设备"}}},
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
    {"mixedReversedA",
     kMixedSite,
     Reversed({A}),
     kFour,
     {{Verdict::Fault, {"A相有功功率为负", "接反"}}},
     {"零序电流", "接反"}},
    {"mixedReversedB",
     kMixedSite,
     Reversed({B}),
     kFour,
     {{Verdict::Fault, {"B相有功功率为负", "接反"}}},
     {"零序电流", "接反"}},
    {"mixedSwapAC",
     kMixedSite,
     Sources(C, B, A),
     kFour,
     {{Verdict::Fault, {"A、C相电流互换"}}},
     {"零序电流", "来自", "接反"}},
    {"lineLoadReversedC",
     kLineLoadSite,
     Reversed({C}),
     kFour,
     {{Verdict::Fault, {"C相有功功率为负", "接反"}}},
     {"零序电流", "接反"}},
    {"light1AReversedB",
     kLight1A,
     Reversed({B}),
     kFour,
     {{Verdict::Fault, {"B相有功功率为负", "接反"}}},
     {"零序电流", "接反"}},
    {"overload1A",
     With([](Site& s) { s.ctSecondaryA = 1.0, s.loadPercent = 200; }),
     {},
     kFour,
     {{Verdict::Note, {"二次电流 2.00 A，超过额定1 A"}}},
     {}},
    {"threeWireLostAPulledToB",
     kThreeWireSite,
     LostPulledToB(A),
     kThree,
     {{Verdict::Fault, {"A相失压", "接近 0 V"}}},
     {}},
    {"threeWireLostCPulledToB",
     kThreeWireLineLoads,
     LostPulledToB(C),
     kThree,
     {{Verdict::Fault, {"C相失压", "接近 0 V"}}},
     {}},
    {"voltageReversedB",
     kMixedSite,
     VoltageReversed(B),
     kFour,
     {{Verdict::Fault, {"B相电压接反"}}},
     {}},
    {"voltageAndCtReversed",
     kSite,
     [] {
       Fault f = VoltageReversed(A);
       f.reversed[C] = true;
       return f;
     }(),
     kFour,
     {{Verdict::Fault, {"A相电压接反"}}, {Verdict::Fault, {"C相有功功率为负", "已按A相电压接反改正"}}},
     {"零序电流", "接反"}},
    {"threeWirePtReversed",
     kThreeWireSite,
     VoltageReversed(A),
     kThree,
     {{Verdict::Fault, {"电压互感器极性接反", "A元件"}}},
     {}},
    // Swapped voltage leads turn A's and B's angles the other way than swapped currents do.
    {"voltageLeadsSwappedAB",
     kSite,
     [] {
       Fault f;
       f.voltageSource = {B, A, C};
       return f;
     }(),
     kFour,
     {{Verdict::Fault, {"A、B相电压线互换"}}},
     {"电压输入接的是"}},
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
  const std::vector<CheckRow> rows = Check(c.site, c.fault, c.mode);
  for (const Finding& f : c.required) {
    EXPECT_TRUE(HasRow(rows, f.verdict, f.texts))
        << "missing " << VerdictText(f.verdict) << " \"" << f.texts.front() << "\" in\n"
        << RowsText(rows);
  }
  for (const CheckRow& r : rows) {
    if (r.verdict == Verdict::Normal) continue;
    const bool explained =
        std::any_of(
            c.required.begin(), c.required.end(),
            [&](const Finding& f) { return r.verdict == f.verdict && Holds(r, f.texts); }) ||
        std::any_of(c.allowed.begin(), c.allowed.end(),
                    [&](const std::string& t) { return r.message.find(t) != std::string::npos; });
    EXPECT_TRUE(explained) << "unexplained row in\n" << RowsText(rows);
  }
}

INSTANTIATE_TEST_SUITE_P(Healthy, WiringSiteTest, ::testing::ValuesIn(kHealthy),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });
INSTANTIATE_TEST_SUITE_P(Faulty, WiringSiteTest, ::testing::ValuesIn(kFaulty),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

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
                      << RowsText(rows);
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

// One reversed CT on any phase, and each swap of two currents, four-wire and (A/C) three-wire, at
// any power factor down to 0.3 either way, from 3 % of the CT rating and (a reversed CT) in either
// direction of power, is named as what it is.
TEST(WiringSiteSweep, EveryReversedCtAndSwapIsNamed) {
  struct Wrong {
    Fault fault;
    WiringMode mode;
    bool threeWire;
    std::vector<std::string> texts;
    std::vector<bool> exporting;
  };
  const Wrong wrongs[] = {
      {Reversed({A}), kFour, false, {"A相有功功率", "接反"}, {false, true}},
      {Reversed({B}), kFour, false, {"B相有功功率", "接反"}, {false, true}},
      {Reversed({C}), kFour, false, {"C相有功功率", "接反"}, {false, true}},
      {Sources(B, A, C), kFour, false, {"A、B相电流互换"}, {false}},
      {Sources(A, C, B), kFour, false, {"B、C相电流互换"}, {false}},
      {Sources(C, B, A), kFour, false, {"A、C相电流互换"}, {false}},
      {Sources(C, B, A), kThree, true, {"A、C相电流互换"}, {false}},
  };
  for (const Wrong& wrong : wrongs) {
    SCOPED_TRACE(wrong.texts.front());
    for (double pf : {0.3, 0.6, 0.95}) {
      for (bool leading : {false, true}) {
        for (double load : {3.0, 50.0}) {
          for (bool exporting : wrong.exporting) {
            Site s;
            s.powerFactor = pf, s.leading = leading, s.loadPercent = load;
            s.threeWire = wrong.threeWire, s.exporting = exporting;
            const auto rows = CheckWiring(SiteBlock(s, wrong.fault, wrong.mode));
            EXPECT_TRUE(HasRow(rows, Verdict::Fault, wrong.texts))
                << "PF " << pf << (leading ? " leading" : "") << " load " << load
                << (exporting ? " export" : "") << "\n"
                << RowsText(rows);
          }
        }
      }
    }
  }
}

}  // namespace
