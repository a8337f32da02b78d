// The 34 values and the limit status laid out as the main dialog shows them: its labels, its
// grid and its texts (values::FormatValue, the unit chosen from the size).
#pragma once

#include <string>

#include "values/MeasuredBlock.h"

namespace kt::report {

// The text the main dialog writes into box `controlId` for this block; empty for a box that
// shows no value.
std::string ShownText(const values::MeasuredBlock& block, int controlId);

// The data grid (rows 相电压 ... 功率因数 under 合相, A相/CA线, B相/AB线, C相/BC线, then the
// frequency and the zero-sequence current) and the four energies: HTML tables whose value cells
// carry data-box="<control id>".
std::string ValueTables(const values::MeasuredBlock& block);

// The eight limit status items with their texts (alarms in red), or a line saying the block
// came without them.
std::string LimitStatusTable(const values::MeasuredBlock& block);

}  // namespace kt::report
