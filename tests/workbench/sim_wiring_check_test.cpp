// The simulated meter's site and wiring options through to the wiring check: once through the
// registers and the monitor's decoding at several scales, and for the plain and the reversed-CT
// meter through the whole monitor polling it, with the check attached as a block observer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckRows.h"
#include "MainDialogHarness.h"
#include "sim/LoadModel.h"
#include "sim/MeasurementEncoding.h"
#include "sim/SimOptions.h"
#include "values/MeasuredBlockFromPayload.h"
#include "values/MonitorListener.h"
#include "workbench/WiringCheck.h"

namespace kt {
namespace {

using workbench::CheckRow;
using workbench::Verdict;
using workbench::testing::RowsText;

sim::MeterConfig MeterWith(std::vector<const char*> args) {
  args.insert(args.begin(), "kt7340-sim");
  sim::SimOptions options;
  const auto error = sim::ParseSimOptions(static_cast<int>(args.size()), args.data(), options);
  EXPECT_FALSE(error.has_value()) << *error;
  return options.meter;
}

struct Scale {
  uint16_t pt, ct;
  int k;
};
const Scale kScales[] = {{1, 1, 1}, {10, 20, 1}, {100, 200, 4}};

// One block of the meter's load, encoded into registers and decoded as the monitor does.
std::vector<CheckRow> CheckEncoded(const sim::MeterConfig& meter, const Scale& scale) {
  sim::LoadModel model(meter.load, 3);
  const sim::MeasuredValues values = model.Sample(1'000'000, meter.wiring, scale.pt, scale.ct);
  const auto registers = sim::EncodeMeasurementBlock(values, {scale.pt, scale.ct, scale.k, 1.0});
  std::vector<uint8_t> payload;
  for (uint16_t r : registers) {
    payload.push_back(static_cast<uint8_t>(r >> 8));
    payload.push_back(static_cast<uint8_t>(r & 0xFF));
  }
  const values::MeasuredBlock block = values::ToMeasuredBlock(
      payload.data(), {scale.pt, scale.ct, scale.k, 1}, meter.wiring, 1, {});
  return workbench::CheckWiring(block, workbench::kWiringThresholds, 50.0, meter.load.ctSecondaryA);
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
  std::vector<const char*> args = {};
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
    const sim::MeterConfig meter = MeterWith(c.args);
    for (const Scale& s : kScales) {
      ExpectCase(c, CheckEncoded(meter, s), std::string(c.label) + " PT " + std::to_string(s.pt));
    }
  }
}

// A healthy load in every wiring mode passes every check, not only without 异常.
TEST(SimulatedWiring, HealthyLoadPassesEveryCheckInEveryMode) {
  for (uint8_t wiring = 0; wiring <= 5; ++wiring) {
    sim::MeterConfig meter;
    meter.wiring = wiring;
    for (const Scale& s : kScales) {
      const auto rows = CheckEncoded(meter, s);
      EXPECT_TRUE(std::all_of(rows.begin(), rows.end(),
                              [](const CheckRow& r) { return r.verdict == Verdict::Normal; }))
          << "PT " << s.pt << " wiring " << int(wiring) << "\n"
          << RowsText(rows);
    }
  }
}

// A reversed CT on B through the whole monitor: its row and the reading name B alone.
TEST(SimulatedWiring, ThroughTheMonitorPollingTheMeter) {
  const auto reversed = CheckPolled(MeterWith({"--reverse-ct", "B", "--pt", "10", "--ct", "20"}));
  ExpectCase(kReversedB, reversed, "polled");
  for (const auto& r : reversed) {
    if (r.verdict != Verdict::Fault) continue;
    EXPECT_NE(r.message.find("B相"), std::string::npos) << RowsText(reversed);
  }
}

}  // namespace
}  // namespace kt
