// The wiring check: faults the sites of wiring_sites_test do not make give their row, and the
// wiring mode and the current decide which checks run. (Each limit: wiring_thresholds_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "CheckRows.h"
#include "MeasuredBlocks.h"
#include "workbench/PhasorDiagram.h"
#include "workbench/WiringCheck.h"
#include "workbench/WiringText.h"

using namespace kt::workbench;
using kt::values::Quantity;
using kt::values::WiringMode;
using kt::workbench::testing::BlockBuilder;
using kt::workbench::testing::RowsText;

namespace {

constexpr int A = 0, B = 1, C = 2;

struct Expected {
  std::string check;
  Verdict verdict;
  std::string text;  // part of the message
};

struct FaultCase {
  const char* label;
  BlockBuilder block;
  std::vector<Expected> expected;  // every row that is not 正常 must be one of these
};

void PrintTo(const FaultCase& c, std::ostream* out) {
  *out << c.label;
}

bool Matches(const CheckRow& row, const Expected& e) {
  return row.name == e.check && row.verdict == e.verdict &&
         row.message.find(e.text) != std::string::npos;
}

class WiringFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(WiringFaultTest, ReportsExactlyTheFault) {
  const FaultCase& c = GetParam();
  const std::vector<CheckRow> rows = CheckWiring(c.block.Build());
  for (const Expected& e : c.expected) {
    EXPECT_TRUE(
        std::any_of(rows.begin(), rows.end(), [&](const CheckRow& r) { return Matches(r, e); }))
        << "missing " << e.check << " " << VerdictText(e.verdict) << " \"" << e.text << "\" in\n"
        << RowsText(rows);
  }
  for (const CheckRow& r : rows) {
    if (r.verdict == Verdict::Normal) continue;
    EXPECT_TRUE(std::any_of(c.expected.begin(), c.expected.end(),
                            [&](const Expected& e) { return Matches(r, e); }))
        << "unexpected row in\n"
        << RowsText(rows);
  }
}

using enum Verdict;
using Q = Quantity;
using M = WiringMode;

// Each of `checks` says the current is too small to judge.
std::vector<Expected> TooLittleCurrent(const std::vector<std::string>& checks) {
  std::vector<Expected> rows;
  rows.reserve(checks.size());
  for (const std::string& check : checks) rows.push_back({check, Note, "电流太小，无法判断"});
  return rows;
}

const std::vector<FaultCase> kFaults = {
    {"noVoltageAtAll",
     BlockBuilder().Volts(A, 0).Volts(B, 0).Volts(C, 0),
     {{"失压", Fault, "各相电压均为 0 V"}}},
    {"voltageImbalanceC",
     BlockBuilder().Volts(C, 245.0),
     {{"电压不平衡", Note, "C相电压 245.0 V"}}},
    {"lineVoltageWrong",
     BlockBuilder().Set(Q::LineVoltageAB, 220.0),
     {{"线电压/相电压", Fault, "AB线电压 220.0 V"},
      {"有功方向", Note, "须待电压接线改正后再判断"}}},
    // A current of another phase lies 120° off, and carries that phase's magnitude; one 54° off
    // is a load of another power factor.
    {"currentOnWrongPhaseC",
     BlockBuilder().CurrentAngle(C, 18.19 + 120.0),
     {{"电流相别", Fault,
       "C相相角 138°（功率因数 -0.75），与A相负载相角 18° 相差约120°：该相电流来自A相"},
      {"接线判断", Fault, "C相输入接入了A相电流；或C相电流互感器接反。单凭一组读数"}}},
    {"angleApartButNoWiringFault", BlockBuilder().CurrentAngle(C, 72.0), {}},
    // C carries under 5 % of A's current: its power factor says nothing.
    {"unloadedPhaseIsNotJudged",
     BlockBuilder().Amps(B, 0.2).Amps(C, 0.2).CurrentAngle(C, 85.0),
     {{"电流相别", Note, "B相电流 0.2 A，电流太小，无法判断"},
      {"电流相别", Note, "C相电流 0.2 A，电流太小，无法判断"}}},
    // Phases carry loads of their own: unequal currents are said, not flagged.
    {"currentImbalanceA", BlockBuilder().Amps(A, 7.0), {}},
    {"zeroSequence",
     BlockBuilder().Set(Q::ZeroSequenceCurrent, 1.5),
     {{"零序电流", Note, "零序电流 1.5 A"}}},
    {"totalDisagrees",
     BlockBuilder().Set(Q::TotalActivePower, 1200.0),
     {{"有功合计", Fault, "比例系数或配置不一致"}}},
    {"apparentDisagreesA",
     BlockBuilder().Set(Q::ApparentPowerA, 1000.0),
     {{"视在功率", Fault, "A相视在功率 1000.0 VA 小于√(P²+Q²) = 1100.0 VA"}}},
    {"frequencyNote", BlockBuilder().Hz(50.8), {{"频率", Note, "频率 50.80 Hz"}}},
    {"frequencyFault", BlockBuilder().Hz(43.0), {{"频率", Fault, "43.00"}}},
    {"ctSecondaryOverRating",
     BlockBuilder().CtRatio(10).AllAmps(62.0),
     {{"互感器二次电流", Note, "A相二次电流 6.20 A"},
      {"互感器二次电流", Note, "B相二次电流 6.20 A"},
      {"互感器二次电流", Note, "C相二次电流 6.20 A"}}},
    // Three-wire modes have no element on B: its reversed CT shows only in the sum of currents.
    {"threeWireReversedB",
     BlockBuilder().Mode(M::ThreePhaseThreeWireBalanced).ReverseCt(B),
     {{"接线方式", Note, "或B相互感器接反"}}},
    {"singlePhaseSkipsBandC",
     BlockBuilder().Mode(M::SinglePhaseTwoWire).ReverseCt(B).Volts(C, 0).Amps(B, 20),
     {}},
    {"singlePhaseStillJudgesA",
     BlockBuilder().Mode(M::SinglePhaseThreeWire).ReverseCt(A),
     {{"有功方向", Fault, "A相有功功率为负"},
      {"接线判断", Fault, "符合的接线（可能性大的在前）：A相电流互感器接反"}}},
    {"tooLittleCurrent", BlockBuilder().CtRatio(100).AllAmps(4.0).ReverseCt(B),
     TooLittleCurrent(
         {"有功方向", "电流相别", "电流不平衡", "零序电流", "接线方式", "有功合计", "视在功率"})},
};

INSTANTIATE_TEST_SUITE_P(Faults, WiringFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

std::vector<std::string> NamesOf(const std::vector<CheckRow>& rows) {
  std::vector<std::string> names;
  for (const CheckRow& r : rows) {
    if (std::find(names.begin(), names.end(), r.name) == names.end()) names.push_back(r.name);
  }
  return names;
}

TEST(WiringCheck, WiringModeDecidesWhichChecksRun) {
  using V = std::vector<std::string>;
  EXPECT_EQ(NamesOf(CheckWiring(BlockBuilder().Build())),
            (V{"失压", "电压不平衡", "线电压/相电压", "接线方式", "有功方向", "电流相别",
               "电流不平衡", "零序电流", "有功合计", "视在功率", "频率", "互感器二次电流"}));
  EXPECT_EQ(
      NamesOf(CheckWiring(BlockBuilder().Mode(WiringMode::ThreePhaseThreeWireUnbalanced).Build())),
      (V{"失压", "电压不平衡", "电压互感器极性", "接线方式", "有功方向", "电流相别", "电流不平衡",
         "有功合计", "视在功率", "频率", "互感器二次电流"}));
  EXPECT_EQ(NamesOf(CheckWiring(BlockBuilder().Mode(WiringMode::SinglePhaseTwoWire).Build())),
            (V{"有功方向", "电流相别", "有功合计", "视在功率", "频率", "互感器二次电流"}));
}

TEST(WiringCheck, PassingRowsGiveTheirFigure) {
  const auto rows = CheckWiring(BlockBuilder().Build());
  const auto row = [&](const std::string& name) {
    return std::find_if(rows.begin(), rows.end(), [&](const CheckRow& r) { return r.name == name; })
        ->message;
  };
  EXPECT_EQ(row("失压"), "相电压 220.0 / 220.0 / 220.0 V");
  EXPECT_EQ(row("电流相别"), "功率因数 0.95 / 0.95 / 0.95");
  EXPECT_EQ(row("频率"), "频率 50.00 Hz");
}

// The grid's nominal frequency is chosen, not guessed from the reading.
TEST(WiringCheck, FrequencyIsJudgedAgainstTheChosenNominal) {
  const struct {
    double hz, nominal;
    Verdict verdict;
  } rows[] = {{59.8, 60.0, Verdict::Normal},  {59.8, 50.0, Verdict::Fault},
              {55.01, 50.0, Verdict::Fault},  {54.99, 50.0, Verdict::Note},
              {50.49, 50.0, Verdict::Normal}, {50.51, 50.0, Verdict::Note},
              {49.49, 50.0, Verdict::Note}};
  for (const auto& r : rows) {
    Verdict verdict = Verdict::Normal;
    for (const CheckRow& c :
         CheckWiring(BlockBuilder().Hz(r.hz).Build(), kWiringThresholds, r.nominal))
      if (c.name == "频率") verdict = c.verdict;
    EXPECT_EQ(verdict, r.verdict) << r.hz << " Hz against " << r.nominal;
  }
}

// A reading with its alternatives and the checks that tell them apart runs long: never cut.
TEST(WiringText, LongMessagesAreWhole) {
  const std::string reading(900, 'x');
  EXPECT_EQ(Printf("%s。%s", reading.c_str(), "用相序表核对"), reading + "。用相序表核对");
}

TEST(PhasorDiagram, CurrentsLagTheirVoltagesByThePhaseAngle) {
  const PhasorDiagram d =
      MakePhasorDiagram(BlockBuilder().Volts(C, 110.0).Amps(A, 2.5).ReverseCt(B).Build());
  const double lag = std::acos(0.95) * 180.0 / std::numbers::pi;
  // Each phase's voltage at 0°, -120°, 120°; lengths against the longest; B's CT turned round.
  const struct {
    double uDeg, uLength, iDeg, iLength;
  } want[] = {{0, 1, -lag, 0.5}, {-120, 1, -120 - lag + 180, 1}, {120, 0.5, 120 - lag, 1}};
  for (int p : {A, B, C}) {
    EXPECT_NEAR(d.voltages[p].angleDeg, want[p].uDeg, 1e-9) << p;
    EXPECT_NEAR(d.voltages[p].length, want[p].uLength, 1e-9) << p;
    EXPECT_NEAR(d.currents[p].angleDeg, want[p].iDeg, 1e-6) << p;
    EXPECT_NEAR(d.currents[p].length, want[p].iLength, 1e-9) << p;
  }
}

// Three-wire: the two elements' voltages U_AB (30°) and U_CB (90°); a healthy load's currents
// still lie at their own phase's angle minus φ.
TEST(PhasorDiagram, ThreeWireIsDrawnOnTheElementVoltages) {
  const PhasorDiagram d =
      MakePhasorDiagram(BlockBuilder().Mode(WiringMode::ThreePhaseThreeWireUnbalanced).Build());
  const double lagDeg = std::acos(0.95) * 180.0 / std::numbers::pi;
  EXPECT_TRUE(d.lineVoltages);
  EXPECT_FALSE(d.measured[B]);
  EXPECT_NEAR(d.voltages[A].angleDeg, 30.0, 1e-9);
  EXPECT_NEAR(d.voltages[C].angleDeg, 90.0, 1e-9);
  EXPECT_NEAR(d.currents[A].angleDeg, -lagDeg, 1e-6);
  EXPECT_NEAR(d.currents[C].angleDeg, 120.0 - lagDeg, 1e-6);
}

TEST(PhasorDiagram, SinglePhaseShowsOnlyA) {
  const PhasorDiagram d =
      MakePhasorDiagram(BlockBuilder().Mode(WiringMode::SinglePhaseTwoWire).Amps(B, 50).Build());
  EXPECT_TRUE(d.measured[A]);
  EXPECT_FALSE(d.measured[B]);
  EXPECT_FALSE(d.measured[C]);
  EXPECT_NEAR(d.currents[A].length, 1.0, 1e-9);  // B's large current does not scale A's
}

// Drawn on a 200-pixel radius: a tip or a label (14 pixels beyond the tip) a whole pixel away is
// painted again, less is not; so is any change in what is drawn at all.
TEST(PhasorDiagram, PaintedAgainOnlyWhenItLooksOther) {
  constexpr double kRadius = 200.0, kGap = 14.0;
  PhasorDiagram shown;
  shown.measured = {true, true, true};
  shown.voltages = {{{1, 0}, {1, -120}, {1, 120}}};
  shown.currents = {{{1, -18}, {0.5, -138}, {0.05, 102}}};
  // The turn, in degrees, that moves a point `out` pixels from the centre by `px` (a chord).
  const auto turnDeg = [](double px, double out) {
    return 2 * std::asin(px / (2 * out)) * 180 / std::numbers::pi;
  };
  const double iaLabel = kRadius * 0.68 + kGap;         // currents reach 0.68 of the radius
  const double icLabel = 0.05 * kRadius * 0.68 + kGap;  // its tip 6.8 px out moves a third
  const struct {
    const char* label;
    std::function<void(PhasorDiagram&)> change;
    bool painted;
  } cases[] = {
      {"Ub 0.99 px shorter", [](PhasorDiagram& d) { d.voltages[B].length -= 0.99 / kRadius; },
       false},
      {"Ub 1.01 px shorter", [](PhasorDiagram& d) { d.voltages[B].length -= 1.01 / kRadius; },
       true},
      {"Ia's label 0.99 px away",
       [&](PhasorDiagram& d) { d.currents[A].angleDeg += turnDeg(0.99, iaLabel); }, false},
      {"Ia's label 1.01 px away",
       [&](PhasorDiagram& d) { d.currents[A].angleDeg -= turnDeg(1.01, iaLabel); }, true},
      {"Ic's label 1.01 px away",
       [&](PhasorDiagram& d) { d.currents[C].angleDeg += turnDeg(1.01, icLabel); }, true},
      {"Ic gone", [](PhasorDiagram& d) { d.currents[C].length = 0; }, true},
      {"B no longer measured, tips kept", [](PhasorDiagram& d) { d.measured[B] = false; }, true},
      {"element voltages", [](PhasorDiagram& d) { d.lineVoltages = true; }, true},
  };
  for (const auto& c : cases) {
    PhasorDiagram next = shown;
    c.change(next);
    EXPECT_EQ(DrawnDifferently(shown, next, kRadius), c.painted) << c.label;
  }
}

}  // namespace
