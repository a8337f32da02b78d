// The columns of a QTableWidget fitted to its width.
#include "qt/TableColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <vector>

#include "ui/dialog/ColumnWidths.h"

namespace kt::ui::qt {
namespace {

// Refits the table's columns when its viewport is resized (the table, or a scroll bar coming).
class ColumnFitter : public QObject {
 public:
  explicit ColumnFitter(QTableWidget& table) : QObject(&table), table_(table) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) FitTableColumns(table_);
    return QObject::eventFilter(watched, event);
  }

 private:
  QTableWidget& table_;
};

}  // namespace

void FitTableColumns(QTableWidget& table) {
  QHeaderView& header = *table.horizontalHeader();
  const QAbstractItemView& view = table;  // where the widest cell's width is public
  std::vector<int> wanted;
  wanted.reserve(static_cast<size_t>(table.columnCount()));
  for (int c = 0; c < table.columnCount(); ++c) {
    wanted.push_back(std::max(view.sizeHintForColumn(c), header.sectionSizeHint(c)));
  }
  const std::vector<int> widths = FittedColumnWidths(wanted, table.viewport()->width());
  for (int c = 0; c < table.columnCount(); ++c) {
    table.setColumnWidth(c, widths[static_cast<size_t>(c)]);
  }
}

void KeepColumnsFitted(QTableWidget& table) {
  table.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table.horizontalHeader()->setStretchLastSection(false);
  table.viewport()->installEventFilter(new ColumnFitter(table));
  FitTableColumns(table);
}

}  // namespace kt::ui::qt
