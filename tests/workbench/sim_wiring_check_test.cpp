// From the simulated load through the block's registers and the monitor's decoding to the wiring
// check: what the simulator wires wrongly is what the check reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckRows.h"
#include "measure/MeasuredBlockFromPayload.h"
#include "sim/LoadModel.h"
#include "sim/MeasurementEncoding.h"
#include "workbench/WiringCheck.h"

using namespace kt;
using kt::workbench::testing::HasRow;
using kt::workbench::testing::RowsText;

namespace {

struct Scale {
  uint16_t pt, ct;
  int k;
};

std::vector<workbench::CheckRow> CheckSimulatedLoad(const sim::WiringFaults& faults,
                                                    const Scale& scale, uint8_t wiring = 0,
                                                    double powerFactor = 0.95) {
  sim::LoadProfile profile;
  profile.wiringFaults = faults;
  profile.powerFactor = powerFactor;
  sim::LoadModel model(profile, 3);
  const sim::MeasuredValues values = model.Sample(1'000'000, wiring, scale.pt, scale.ct);
  const auto registers = sim::EncodeMeasurementBlock(values, {scale.pt, scale.ct, scale.k, 1.0});
  std::vector<uint8_t> payload;
  for (uint16_t r : registers) {
    payload.push_back(static_cast<uint8_t>(r >> 8));
    payload.push_back(static_cast<uint8_t>(r & 0xFF));
  }
  const measure::MeasuredBlock block =
      measure::ToMeasuredBlock(payload.data(), {scale.pt, scale.ct, scale.k, 1}, wiring, 1, {});
  return workbench::CheckWiring(block);
}

const Scale kScales[] = {{1, 1, 1}, {10, 20, 1}, {100, 200, 4}};

TEST(SimulatedWiring, HealthyLoadPassesEveryCheck) {
  for (const Scale& s : kScales) {
    for (uint8_t wiring = 0; wiring <= 5; ++wiring) {
      const auto rows = CheckSimulatedLoad({}, s, wiring);
      EXPECT_TRUE(
          std::all_of(rows.begin(), rows.end(),
                      [](const auto& r) { return r.verdict == workbench::Verdict::Normal; }))
          << "PT " << s.pt << " CT " << s.ct << " wiring " << int(wiring) << "\n"
          << RowsText(rows);
    }
  }
}

TEST(SimulatedWiring, ReversedCtIsReportedOnItsPhase) {
  sim::WiringFaults faults;
  faults.reversedCt[1] = true;
  for (const Scale& s : kScales) {
    const auto rows = CheckSimulatedLoad(faults, s);
    EXPECT_TRUE(HasRow(rows, workbench::Verdict::Fault, {"B相有功功率为负", "电流互感器可能接反"}))
        << RowsText(rows);
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const auto& r) {
      return r.message.find("A相有功功率为负") != std::string::npos ||
             r.message.find("C相有功功率为负") != std::string::npos;
    })) << RowsText(rows);
  }
}

TEST(SimulatedWiring, SwappedCurrentsAndLostPhaseAreRecognised) {
  sim::WiringFaults swapped;
  swapped.swapFirst = 0;
  swapped.swapSecond = 1;
  sim::WiringFaults lost;
  lost.lostVoltage[2] = true;
  const auto swapRows = CheckSimulatedLoad(swapped, kScales[1]);
  EXPECT_TRUE(HasRow(swapRows, workbench::Verdict::Fault, {"A、B相电流互换"}))
      << RowsText(swapRows);
  const auto lostRows = CheckSimulatedLoad(lost, kScales[1]);
  EXPECT_TRUE(HasRow(lostRows, workbench::Verdict::Fault, {"C相电压"})) << RowsText(lostRows);
}

// The simulator's site options through the registers: healthy sites of every kind raise no
// 异常, and the faults combined with them are named.
TEST(SimulatedWiring, SiteOptionsCombineWithTheFaults) {
  struct Case {
    const char* label;
    sim::WiringFaults faults;
    uint8_t wiring;
    double powerFactor;
    const char* fault;  // text of the 异常 row; nullptr: none may be there
  };
  sim::WiringFaults threeWire, exporting, harmonics, threeWireReversedC, exportReversedA, rotated;
  threeWire.threeWireSite = true;
  exporting.exporting = true;
  harmonics.thirdHarmonicPercent = 60;
  threeWireReversedC.threeWireSite = true;
  threeWireReversedC.reversedCt[2] = true;
  exportReversedA.exporting = true;
  exportReversedA.reversedCt[0] = true;
  rotated.rotation = 1;
  const Case cases[] = {
      {"lowPf", {}, 0, 0.35, nullptr},
      {"leading", {}, 0, -0.4, nullptr},
      {"export", exporting, 0, 0.4, nullptr},
      {"harmonics", harmonics, 0, 0.95, nullptr},
      {"threeWire", threeWire, 2, 0.9, nullptr},
      {"threeWireReversedC", threeWireReversedC, 2, 0.9, "C元件(Ucb·Ic)有功功率为负"},
      {"exportReversedA", exportReversedA, 0, 0.95, "A相有功功率为正而其他相为负"},
      {"rotated", rotated, 0, 0.95, nullptr},
  };
  for (const Case& c : cases) {
    for (const Scale& s : kScales) {
      const auto rows = CheckSimulatedLoad(c.faults, s, c.wiring, c.powerFactor);
      const auto fault = std::find_if(rows.begin(), rows.end(), [](const auto& r) {
        return r.verdict == workbench::Verdict::Fault;
      });
      if (c.fault == nullptr) {
        EXPECT_EQ(fault, rows.end()) << c.label << "\n" << RowsText(rows);
      } else {
        ASSERT_NE(fault, rows.end()) << c.label << "\n" << RowsText(rows);
        EXPECT_NE(fault->message.find(c.fault), std::string::npos) << c.label << "\n"
                                                                   << RowsText(rows);
      }
    }
  }
}

}  // namespace
