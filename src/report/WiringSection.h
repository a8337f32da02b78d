// The wiring check in the report: the overall verdict in one line and the rows in colour.
#pragma once

#include <string>
#include <vector>

#include "workbench/WiringCheck.h"

namespace kt::report {

struct OverallVerdict {
  workbench::Verdict verdict = workbench::Verdict::Normal;
  std::string text;  // "异常：<what the worst rows say>", "正常：各项检查均正常"
};

// The worst verdict of the rows, with the messages of the rows that have it.
OverallVerdict Overall(const std::vector<workbench::CheckRow>& rows);

// The verdict line (class "verdict", in the verdict's colour), then the rows as a table with
// the columns of the wiring tab, each verdict cell in its colour.
std::string WiringSection(const std::vector<workbench::CheckRow>& rows);

}  // namespace kt::report
