// What a commissioning report holds, as plain data: the front ends and `kt7340 --report` fill it
// in, the writer (ReportDocument.h) turns it into one HTML file.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "values/MeasuredBlock.h"
#include "workbench/TrendStore.h"
#include "workbench/WiringCheck.h"

namespace kt::report {

// The title block: three fields the user fills in, and when the report was made.
struct ReportTitle {
  std::string site;
  std::string panel;
  std::string engineer;
  std::chrono::system_clock::time_point made{};
};
// The fields the user fills in, in the order of their labels (workbench::kReportTitleLabels).
inline std::array<std::string*, 3> TitleFields(ReportTitle& title) {
  return {&title.site, &title.panel, &title.engineer};
}

// The line the meter was read on and what the block itself does not carry.
struct MeterSettings {
  int32_t portNumber = 1;
  int32_t baudRate = 9600;
  int32_t parity = 0;          // 0 none, 1 odd, 2 even
  bool accuracyKnown = false;  // the class register was read
  uint8_t accuracyClass = 0;   // 0: class 0.5, non-zero: class 0.2 (as the meter reports it)
  double ctSecondaryA = workbench::kDefaultCtSecondaryA;  // the CTs' rated secondary, 5 A or 1 A
  double nominalHz = workbench::kDefaultNominalHz;        // what the wiring check judges against
};

struct ReportMeter {
  std::string name;  // what the user calls the meter; empty: "仪表 <address>"
  MeterSettings settings;
  // The latest block: slave address, wiring mode, PT and CT ratios, the 34 values, the limit
  // status when it came with the block, and its time.
  values::MeasuredBlock block;
  // The recent blocks for the trend charts; none drawn without a store.
  const workbench::TrendStore* trend = nullptr;
  std::string linkCounters;  // as the link status writes them: "请求 R  应答 A  无应答 N  无效 V"
};

struct Report {
  ReportTitle title;
  std::vector<ReportMeter> meters;  // one page each; with more than one a summary comes first
};

}  // namespace kt::report
