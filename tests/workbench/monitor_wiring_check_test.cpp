// The whole monitor polling the simulated meter on the in-memory host, with the wiring check
// attached as an observer of decoded blocks: what the meter's wiring does wrong is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckRows.h"
#include "MainDialogHarness.h"
#include "sim/SimOptions.h"
#include "ui/MonitorListener.h"
#include "workbench/WiringCheck.h"

namespace kt {
namespace {

using workbench::testing::RowsText;

// Runs the check on every decoded block and keeps the latest verdicts.
class WiringCheckListener : public ui::MonitorListener {
 public:
  void OnBlockDecoded(const measure::MeasuredBlock& block) override {
    ++blocks;
    rows = workbench::CheckWiring(block);
  }
  int blocks = 0;
  std::vector<workbench::CheckRow> rows;
};

sim::MeterConfig MeterWith(std::vector<const char*> args) {
  args.insert(args.begin(), "kt7340-sim");
  sim::SimOptions options;
  const auto error = sim::ParseSimOptions(static_cast<int>(args.size()), args.data(), options);
  EXPECT_FALSE(error.has_value()) << *error;
  return options.meter;
}

std::vector<workbench::CheckRow> PolledChecks(const sim::MeterConfig& meter) {
  testing::MainDialogHarness program(testing::SimulatedMeter(meter));
  WiringCheckListener listener;
  program.Dlg().AddListener(listener);
  EXPECT_TRUE(program.PollUntil(3));
  EXPECT_TRUE(program.MeasurementsFlow());
  program.Dlg().RemoveListener(listener);
  EXPECT_GE(listener.blocks, 2);
  return listener.rows;
}

TEST(MonitorWiringCheck, ReversedCtOnTheLineIsReportedForPhaseB) {
  const auto rows = PolledChecks(MeterWith({"--reverse-ct", "B", "--pt", "10", "--ct", "20"}));
  const auto isB = [](const workbench::CheckRow& r) {
    return r.verdict == workbench::Verdict::Fault &&
           r.message.find("B相有功功率为负") != std::string::npos &&
           r.message.find("电流互感器可能接反") != std::string::npos;
  };
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), isB), 1) << RowsText(rows);
  // Only B is faulty.
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const auto& r) { return r.verdict == workbench::Verdict::Fault; }),
            1)
      << RowsText(rows);
}

TEST(MonitorWiringCheck, HealthyMeterOnTheLinePassesEveryCheck) {
  const auto rows = PolledChecks(MeterWith({"--pt", "10", "--ct", "20"}));
  ASSERT_FALSE(rows.empty());
  for (const auto& r : rows) EXPECT_EQ(r.verdict, workbench::Verdict::Normal) << RowsText(rows);
}

}  // namespace
}  // namespace kt
