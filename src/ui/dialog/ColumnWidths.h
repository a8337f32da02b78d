// The widths of a table's columns in the width it has, the same in every window host.
#pragma once

#include <vector>

namespace kt::ui {

// Each column's width given the width each wants (its heading or its widest cell, whichever is
// wider) and the width the table shows. When all fit, each gets what it wants and the last the
// rest. When they do not, every column still shows: the widest are narrowed to one common width,
// so the narrow ones stay whole, and the widths add up to `available` exactly.
std::vector<int> FittedColumnWidths(const std::vector<int>& wanted, int available);

}  // namespace kt::ui
