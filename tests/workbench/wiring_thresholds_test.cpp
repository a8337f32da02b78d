// Each limit of the wiring check tried just inside and just outside its edge. The healthy block
// is 220 V, 5 A, PF 0.95 through 5:1 CTs (registers: 1 VA, 2 W at the power multiplier 4).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "MeasuredBlocks.h"
#include "workbench/WiringCheck.h"

using namespace kt::workbench;
using kt::values::Quantity;
using kt::values::WiringMode;
using kt::workbench::testing::BlockBuilder;

namespace {

constexpr int A = 0, B = 1, C = 2;

// The worst verdict of the rows named `name`.
Verdict Worst(const BlockBuilder& block, const std::string& name, double ctSecondaryA) {
  Verdict worst = Verdict::Normal;
  for (const CheckRow& r : CheckWiring(block.Build(), kWiringThresholds, 50.0, ctSecondaryA)) {
    if (r.name == name && static_cast<int>(r.verdict) > static_cast<int>(worst)) worst = r.verdict;
  }
  return worst;
}

struct Edge {
  const char* label;
  const char* check;
  std::function<BlockBuilder(bool outside)> block;
  Verdict inside, outside;
  double ctSecondaryA = 5.0;
};

const double kLagDeg = std::acos(0.95) * 180.0 / std::numbers::pi;

const std::vector<Edge> kEdges = {
    // Loaded: 1 % of the 5 A rated secondary, 0.05 A through 100:1 CTs.
    {"loadedCurrent", "有功方向",
     [](bool out) { return BlockBuilder().CtRatio(100).AllAmps(out ? 5.01 : 4.99).ReverseCt(B); },
     Verdict::Note, Verdict::Fault},
    // With 1 A CTs: 0.01 A, 1 A through 100:1 CTs.
    {"loadedCurrent1A", "有功方向",
     [](bool out) { return BlockBuilder().CtRatio(100).AllAmps(out ? 1.01 : 0.99).ReverseCt(B); },
     Verdict::Note, Verdict::Fault, 1.0},
    // The CT's secondary above its rating (1 A here).
    {"overload1A", "互感器二次电流",
     [](bool out) { return BlockBuilder().CtRatio(10).AllAmps(out ? 10.1 : 9.9); }, Verdict::Normal,
     Verdict::Note, 1.0},
    // Distortion power named above 35 % of S.
    {"distortion", "视在功率",
     [](bool out) {
       return BlockBuilder().Set(Quantity::ApparentPowerA,
                                 1100.0 / std::sqrt(1 - std::pow(out ? 0.36 : 0.34, 2)));
     },
     Verdict::Normal, Verdict::Note},
    // S below √(P² + Q²) beyond 1 % plus rounding (about 15 VA).
    {"apparentBelow", "视在功率",
     [](bool out) { return BlockBuilder().Set(Quantity::ApparentPowerA, out ? 1080.0 : 1090.0); },
     Verdict::Normal, Verdict::Fault},
    // Total against the sum: 1 % of S (33 W) plus four steps of 2 W.
    {"totalPower", "有功合计",
     [](bool out) {
       return BlockBuilder().Set(Quantity::TotalActivePower, 3135.0 + (out ? 42.0 : 40.0));
     },
     Verdict::Normal, Verdict::Fault},
    {"voltageImbalance", "电压不平衡",
     [](bool out) { return BlockBuilder().Volts(C, out ? 241.0 : 240.0); }, Verdict::Normal,
     Verdict::Note},
    // Zero-sequence beyond what the currents make by 10 % of the mean current.
    {"zeroSequence", "零序电流",
     [](bool out) { return BlockBuilder().Set(Quantity::ZeroSequenceCurrent, out ? 0.52 : 0.49); },
     Verdict::Normal, Verdict::Note},
    // Three-wire mode: a current sum above 4 % of the mean means a neutral.
    {"neutralCurrent", "接线方式",
     [](bool out) {
       return BlockBuilder()
           .Mode(WiringMode::ThreePhaseThreeWireUnbalanced)
           .Set(Quantity::ZeroSequenceCurrent, out ? 0.22 : 0.19);
     },
     Verdict::Normal, Verdict::Note},
    // Three-wire lost phase: the two lines at A within 12 % of half the third.
    {"halfLine", "失压",
     [](bool out) {
       const double half = 381.05 / 2 * (out ? 1.13 : 1.11);
       return BlockBuilder()
           .Mode(WiringMode::ThreePhaseThreeWireUnbalanced)
           .Set(Quantity::LineVoltageAB, half)
           .Set(Quantity::LineVoltageCA, half);
     },
     Verdict::Fault, Verdict::Normal},
    // An element may lie up to 15° past 90° (a load between two phases), not further.
    {"directionMargin", "有功方向",
     [](bool out) { return BlockBuilder().CurrentAngle(C, out ? 105.5 : 104.5); }, Verdict::Normal,
     Verdict::Fault},
    // Loads of one site lie at most 100° apart.
    {"healthySpread", "有功方向",
     [](bool out) { return BlockBuilder().CurrentAngle(C, kLagDeg - (out ? 100.5 : 99.5)); },
     Verdict::Normal, Verdict::Fault},
    // Three-wire: the input pulled onto B's leaves its line under half the others.
    {"pulledToB", "失压",
     [](bool out) {
       return BlockBuilder()
           .Mode(WiringMode::ThreePhaseThreeWireUnbalanced)
           .Set(Quantity::LineVoltageAB, 381.05 * (out ? 0.49 : 0.51));
     },
     Verdict::Normal, Verdict::Fault},
};

class WiringEdgeTest : public ::testing::TestWithParam<Edge> {};

TEST_P(WiringEdgeTest, InsideAndOutside) {
  const Edge& e = GetParam();
  EXPECT_EQ(Worst(e.block(false), e.check, e.ctSecondaryA), e.inside) << "inside";
  EXPECT_EQ(Worst(e.block(true), e.check, e.ctSecondaryA), e.outside) << "outside";
}

INSTANTIATE_TEST_SUITE_P(Edges, WiringEdgeTest, ::testing::ValuesIn(kEdges),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

// A current of another phase must carry that phase's magnitude: C's input with A's current is
// named while the two agree within 10 %; beyond, C's current is its own, turned round.
TEST(WiringEdges, WrongPhaseNamedOnlyWithTheSameMagnitude) {
  const auto named = [](double share) {
    const auto rows =
        CheckWiring(BlockBuilder().CurrentAngle(C, kLagDeg + 120).Amps(C, 5.0 * share).Build());
    return std::any_of(rows.begin(), rows.end(), [](const CheckRow& r) {
      return r.message.find("该相电流来自A相。") != std::string::npos;
    });
  };
  EXPECT_TRUE(named(1.09));
  EXPECT_FALSE(named(1.12));
  EXPECT_TRUE(named(0.91));
  EXPECT_FALSE(named(0.88));
}

}  // namespace
