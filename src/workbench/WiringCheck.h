// The wiring check: plausibility rules over one decoded block, each giving a verdict and a line.
#pragma once

#include <string>
#include <vector>

#include "values/MeasuredBlock.h"
#include "workbench/WiringThresholds.h"

namespace kt::workbench {

enum class Verdict { Normal, Note, Fault };

// 正常, 注意 or 异常.
const char* VerdictText(Verdict v);

struct CheckRow {
  std::string name;  // short Chinese name of the check
  Verdict verdict = Verdict::Normal;
  std::string message;  // what was seen, what it means, what to check
};

inline constexpr double kDefaultNominalHz = 50.0;
inline constexpr double kDefaultCtSecondaryA = 5.0;

// Runs every rule that the block's wiring mode allows (see WiringRules.h). A rule that finds
// several elements at fault gives one row per element; a rule that passes gives one 正常 row with
// its figure; a rule that needs current says "电流太小，无法判断" when there is too little.
// `ctSecondaryA` is the CTs' rated secondary current (5 A or 1 A): loads and overloads are judged
// against it.
std::vector<CheckRow> CheckWiring(const values::MeasuredBlock& block,
                                  const WiringThresholds& limits = kWiringThresholds,
                                  double nominalHz = kDefaultNominalHz,
                                  double ctSecondaryA = kDefaultCtSecondaryA);

}  // namespace kt::workbench
