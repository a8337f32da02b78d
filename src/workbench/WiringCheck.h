// The wiring check: plausibility rules over one decoded block, each giving a verdict and a line.
#pragma once

#include <string>
#include <vector>

#include "measure/MeasuredBlock.h"
#include "workbench/WiringThresholds.h"

namespace kt::workbench {

enum class Verdict { Normal, Note, Fault };

// 正常, 注意 or 异常.
const char* VerdictText(Verdict v);

struct CheckRow {
  std::string name;  // short Chinese name of the check
  Verdict verdict = Verdict::Normal;
  std::string message;  // one line: the phase and the figure
};

// Runs every check that the block's wiring mode allows. A check that finds several phases at
// fault gives one row per phase; a check that passes gives one 正常 row with its figure. Checks
// that do not apply to the wiring mode give no row.
std::vector<CheckRow> CheckWiring(const measure::MeasuredBlock& block,
                                  const WiringThresholds& limits = kWiringThresholds);

}  // namespace kt::workbench
