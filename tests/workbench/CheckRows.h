// The wiring check's rows in a test: as text for a failure message, and the search for a row at a
// verdict whose message holds some texts.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "workbench/WiringCheck.h"

namespace kt::workbench::testing {

inline std::string RowsText(const std::vector<CheckRow>& rows) {
  std::string text;
  for (const CheckRow& r : rows)
    text += r.name + " " + VerdictText(r.verdict) + " " + r.message + "\n";
  return text;
}

inline bool Holds(const CheckRow& row, const std::vector<std::string>& texts) {
  return std::all_of(texts.begin(), texts.end(), [&](const std::string& t) {
    return row.message.find(t) != std::string::npos;
  });
}

// A row at `verdict` whose message holds every one of `texts`.
inline bool HasRow(const std::vector<CheckRow>& rows, Verdict verdict,
                   const std::vector<std::string>& texts) {
  return std::any_of(rows.begin(), rows.end(),
                     [&](const CheckRow& r) { return r.verdict == verdict && Holds(r, texts); });
}

}  // namespace kt::workbench::testing
