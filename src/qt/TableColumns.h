// A table's columns at the widths the dialog layer decides (FittedColumnWidths): every column in
// view whatever the table's width, the narrow ones whole.
#pragma once

class QTableWidget;

namespace kt::ui::qt {

// Fits the columns now, and again whenever the table's visible area changes size.
void KeepColumnsFitted(QTableWidget& table);
void FitTableColumns(QTableWidget& table);

}  // namespace kt::ui::qt
