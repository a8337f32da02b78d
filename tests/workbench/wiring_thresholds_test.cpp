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

using enum Verdict;
using Q = Quantity;
using Block = std::function<BlockBuilder(double)>;

// The block with one figure at the edge's value; the rest of the healthy load as computed.
Block Setting(Q quantity, const BlockBuilder& base = BlockBuilder()) {
  return [=](double value) { return BlockBuilder(base).Set(quantity, value); };
}
// Loaded: 1 % of the rated secondary, judged on B's reversed CT through 100:1 CTs.
BlockBuilder ReversedBAt100(double amps) {
  return BlockBuilder().CtRatio(100).AllAmps(amps).ReverseCt(B);
}
const BlockBuilder kThreeWire = BlockBuilder().Mode(WiringMode::ThreePhaseThreeWireUnbalanced);

// One row: the block at the value just inside the edge and just outside it, the verdicts there.
struct Edge {
  const char* label;
  const char* check;
  Block block;
  double inside, outside;
  Verdict insideVerdict, outsideVerdict;
  double ctSecondaryA = 5.0;
};

void PrintTo(const Edge& e, std::ostream* out) {
  *out << e.label;
}

const double kLagDeg = std::acos(0.95) * 180.0 / std::numbers::pi;

const std::vector<Edge> kEdges = {
    // 0.05 A of the 5 A rated secondary, 0.01 A of 1 A.
    {"loadedCurrent", "有功方向", ReversedBAt100, 4.99, 5.01, Note, Fault},
    {"loadedCurrent1A", "有功方向", ReversedBAt100, 0.99, 1.01, Note, Fault, 1.0},
    // The CT's secondary above its rating (1 A here).
    {"overload1A", "互感器二次电流", [](double a) { return BlockBuilder().CtRatio(10).AllAmps(a); },
     9.9, 10.1, Normal, Note, 1.0},
    // Distortion power named above 35 % of S (the share of S given).
    {"distortion", "视在功率",
     [](double share) {
       return BlockBuilder().Set(Q::ApparentPowerA, 1100.0 / std::sqrt(1 - share * share));
     },
     0.34, 0.36, Normal, Note},
    // S below √(P² + Q²) = 1100 VA beyond 1 % plus rounding (about 15 VA).
    {"apparentBelow", "视在功率", Setting(Q::ApparentPowerA), 1090.0, 1080.0, Normal, Fault},
    // Total against the sum 3135 W: 1 % of S (33 W) plus four steps of 2 W.
    {"totalPower", "有功合计", Setting(Q::TotalActivePower), 3135.0 + 40, 3135.0 + 42, Normal,
     Fault},
    {"voltageImbalance", "电压不平衡", [](double v) { return BlockBuilder().Volts(C, v); }, 240.0,
     241.0, Normal, Note},
    // Zero-sequence beyond what the currents make by 10 % of the mean current.
    {"zeroSequence", "零序电流", Setting(Q::ZeroSequenceCurrent), 0.49, 0.52, Normal, Note},
    // Three-wire mode: a current sum above 4 % of the mean means a neutral.
    {"neutralCurrent", "接线方式", Setting(Q::ZeroSequenceCurrent, kThreeWire), 0.19, 0.22, Normal,
     Note},
    // Three-wire lost phase: the two lines at A within 12 % of half the third.
    {"halfLine", "失压",
     [](double share) {
       const double half = 381.05 / 2 * share;
       return BlockBuilder(kThreeWire).Set(Q::LineVoltageAB, half).Set(Q::LineVoltageCA, half);
     },
     1.11, 1.13, Fault, Normal},
    // An element may lie up to 15° past 90° (a load between two phases), not further.
    {"directionMargin", "有功方向", [](double deg) { return BlockBuilder().CurrentAngle(C, deg); },
     104.5, 105.5, Normal, Fault},
    // Loads of one site lie at most 100° apart.
    {"healthySpread", "有功方向",
     [](double apart) { return BlockBuilder().CurrentAngle(C, kLagDeg - apart); }, 99.5, 100.5,
     Normal, Fault},
    // Three-wire: the input pulled onto B's leaves its line under half the others.
    {"pulledToB", "失压", Setting(Q::LineVoltageAB, kThreeWire), 381.05 * 0.51, 381.05 * 0.49,
     Normal, Fault},
};

class WiringEdgeTest : public ::testing::TestWithParam<Edge> {};

TEST_P(WiringEdgeTest, InsideAndOutside) {
  const Edge& e = GetParam();
  EXPECT_EQ(Worst(e.block(e.inside), e.check, e.ctSecondaryA), e.insideVerdict) << e.inside;
  EXPECT_EQ(Worst(e.block(e.outside), e.check, e.ctSecondaryA), e.outsideVerdict) << e.outside;
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
