// What a control's text means for the controls whose text is not shown as it is: a progress
// bar's percent and a table's cells. Every window host reads them the same way.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace kt::ui {

// A progress bar's value from its text: a whole number of percent, at most 100; 0 for any other.
inline int ProgressPercent(std::string_view text) {
  int value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return 0;
    value = std::min(100, value * 10 + (ch - '0'));
  }
  return value;
}

// The cells of a table's heading or row: the text split at each '\t' ("" is one empty cell).
inline std::vector<std::string> TableCells(std::string_view text) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (;;) {
    const size_t tab = text.find('\t', start);
    cells.emplace_back(text.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return cells;
    start = tab + 1;
  }
}

}  // namespace kt::ui
