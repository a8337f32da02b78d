// The simulated meter's site and wiring options through to the wiring check: once through the
// registers and the monitor's decoding at several scales, and for the plain and the reversed-CT
// meter through the whole monitor polling it, with the check attached as a block observer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "CheckRows.h"
#include "MainDialogHarness.h"
#include "MeasuredBlocks.h"
#include "values/MonitorListener.h"
#include "workbench/WiringCheck.h"

namespace kt {
namespace {

using namespace std::chrono_literals;
using workbench::CheckRow;
using workbench::Verdict;
using workbench::testing::RowsText;

struct Scale {
  const char *pt, *ct;
  bool powerMultiplier;
};
const Scale kScales[] = {{"1", "1", false}, {"10", "20", false}, {"100", "200", true}};

// One block of the meter's load (kt7340-sim's options `args`), encoded into registers at `scale`
// and decoded as the monitor does; the wiring check's rows for it.
std::vector<CheckRow> CheckEncoded(std::vector<std::string> args, const Scale& scale) {
  args.insert(args.end(), {"--pt", scale.pt, "--ct", scale.ct});
  if (scale.powerMultiplier) args.emplace_back("--power-multiplier");
  testing::SimulatedBlocks meter(args);
  return workbench::CheckWiring(meter.At(std::chrono::system_clock::time_point(1s)),
                                workbench::kWiringThresholds, 50.0,
                                meter.config().load.ctSecondaryA);
}

// Runs the check on every decoded block and keeps the latest verdicts.
class WiringCheckListener : public values::MonitorListener {
 public:
  void OnBlockDecoded(const values::MeasuredBlock& block) override {
    ++blocks;
    rows = workbench::CheckWiring(block);
  }
  int blocks = 0;
  std::vector<CheckRow> rows;
};

std::vector<CheckRow> CheckPolled(const sim::MeterConfig& meter) {
  testing::MainDialogHarness program(testing::SimulatedMeter(meter));
  WiringCheckListener listener;
  program.Dlg().AddListener(listener);
  EXPECT_TRUE(program.PollUntil(3));
  EXPECT_TRUE(program.MeasurementsFlow());
  program.Dlg().RemoveListener(listener);
  EXPECT_GE(listener.blocks, 2);
  return listener.rows;
}

struct Case {
  const char* label;
  std::vector<std::string> args = {};
  const char* fault = nullptr;           // text of the first 异常 row; nullptr: no 异常 at all
  std::vector<std::string> absent = {};  // texts no row may carry
};

const Case kReversedB = {
    "reversedB", {"--reverse-ct", "B"}, "B相有功功率为负", {"A相有功功率为负", "C相有功功率为负"}};

// (A healthy load: every check passes in every mode, below.)
const Case kCases[] = {
    {"lowPf", {"--pf", "0.35"}},
    {"leading", {"--pf", "-0.4"}},
    {"export", {"--export", "--pf", "0.4"}},
    {"harmonics", {"--harmonics", "60"}},
    {"rotated", {"--rotate-currents", "forward"}},
    {"threeWire", {"--site", "3p3w", "--wiring", "2", "--pf", "0.9"}},
    {"ownLoads", {"--load", "A=100:1,B=5:0.4,C=30:0.9"}},
    // 3 % of a 1 A CT is judged; under 1 % of a 5 A CT it would not be.
    {"light1A", {"--ct-secondary", "1", "--load", "3"}, nullptr, {"电流太小"}},
    kReversedB,
    {"ownLoadsReversedA",
     {"--load", "A=100:1,B=5:0.4,C=30:0.9", "--reverse-ct", "A"},
     "A相有功功率为负",
     {"来自"}},
    {"swappedAB", {"--swap-currents", "AB"}, "A相相角"},
    {"lostC", {"--lose-phase", "C"}, "C相电压"},
    {"threeWireLostAToB",
     {"--site", "3p3w", "--wiring", "2", "--lose-phase", "A:b"},
     "A相失压：AB线电压"},
    {"threeWireReversedC",
     {"--site", "3p3w", "--wiring", "2", "--pf", "0.9", "--reverse-ct", "C"},
     "C元件(Ucb·Ic)有功功率为负"},
    {"exportReversedA", {"--export", "--reverse-ct", "A"}, "A相有功功率为正而其他相为负"},
};

void ExpectCase(const Case& c, const std::vector<CheckRow>& rows, const std::string& where) {
  const auto fault = std::find_if(rows.begin(), rows.end(),
                                  [](const CheckRow& r) { return r.verdict == Verdict::Fault; });
  if (c.fault == nullptr) {
    EXPECT_EQ(fault, rows.end()) << where << "\n" << RowsText(rows);
  } else {
    ASSERT_NE(fault, rows.end()) << where << "\n" << RowsText(rows);
    EXPECT_NE(fault->message.find(c.fault), std::string::npos) << where << "\n" << RowsText(rows);
  }
  for (const std::string& text : c.absent) {
    EXPECT_TRUE(
        std::none_of(rows.begin(), rows.end(),
                     [&](const CheckRow& r) { return r.message.find(text) != std::string::npos; }))
        << where << "\n"
        << RowsText(rows);
  }
}

TEST(SimulatedWiring, EachSiteAndFaultThroughTheRegisters) {
  for (const Case& c : kCases) {
    for (const Scale& s : kScales) {
      ExpectCase(c, CheckEncoded(c.args, s), std::string(c.label) + " PT " + s.pt);
    }
  }
}

// A healthy load in every wiring mode passes every check, not only without 异常.
TEST(SimulatedWiring, HealthyLoadPassesEveryCheckInEveryMode) {
  for (int wiring = 0; wiring <= 5; ++wiring) {
    for (const Scale& s : kScales) {
      const auto rows = CheckEncoded({"--wiring", std::to_string(wiring)}, s);
      EXPECT_TRUE(std::all_of(rows.begin(), rows.end(),
                              [](const CheckRow& r) { return r.verdict == Verdict::Normal; }))
          << "PT " << s.pt << " wiring " << wiring << "\n"
          << RowsText(rows);
    }
  }
}

// A reversed CT on B through the whole monitor: its row and the reading name B alone.
TEST(SimulatedWiring, ThroughTheMonitorPollingTheMeter) {
  const auto reversed = CheckPolled(
      testing::SimulatedBlocks({"--reverse-ct", "B", "--pt", "10", "--ct", "20"}).config());
  ExpectCase(kReversedB, reversed, "polled");
  for (const auto& r : reversed) {
    if (r.verdict != Verdict::Fault) continue;
    EXPECT_NE(r.message.find("B相"), std::string::npos) << RowsText(reversed);
  }
}

}  // namespace
}  // namespace kt
