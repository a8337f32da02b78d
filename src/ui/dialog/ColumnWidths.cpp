// Columns narrowed from the widest down until the table holds them all.
#include "ui/dialog/ColumnWidths.h"

#include <algorithm>

namespace kt::ui {

std::vector<int> FittedColumnWidths(const std::vector<int>& wanted, int available) {
  std::vector<int> widths;
  widths.reserve(wanted.size());
  for (const int w : wanted) widths.push_back(std::max(w, 0));
  if (widths.empty()) return widths;
  available = std::max(available, 0);
  long long total = 0;
  for (const int w : widths) total += w;
  if (total <= available) {
    widths.back() += available - static_cast<int>(total);
    return widths;
  }
  // The common width of the narrowed columns: the columns narrower than it keep theirs, and the
  // others share what those leave.
  std::vector<int> ascending = widths;
  std::sort(ascending.begin(), ascending.end());
  long long kept = 0;  // the width of the columns that stay whole
  size_t narrowed = ascending.size();
  int cap = 0;
  for (const int w : ascending) {
    const long long share = (available - kept) / static_cast<long long>(narrowed);
    if (w > share) {
      cap = static_cast<int>(share);
      break;
    }
    kept += w;
    --narrowed;
  }
  // What the division left over goes, a pixel each, to the narrowed columns from the last.
  int left = available - static_cast<int>(kept) - cap * static_cast<int>(narrowed);
  for (auto it = widths.rbegin(); it != widths.rend(); ++it) {
    if (*it < cap) continue;
    *it = cap + (left > 0 ? 1 : 0);
    if (left > 0) --left;
  }
  return widths;
}

}  // namespace kt::ui
