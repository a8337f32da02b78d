// Row selection, Ctrl+C and the context menu "复制" / "全选" of a read-only table.
#include "qt/workbench/CopyableTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStringList>
#include <algorithm>

#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {

CopyableTable::CopyableTable(int rows, int columns, QWidget* parent)
    : QTableWidget(rows, columns, parent) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setFocusPolicy(Qt::StrongFocus);

  auto* copy = new QAction(QString::fromUtf8(workbench::kCopyText), this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, [this] { CopySelectedRows(); });
  auto* all = new QAction(QString::fromUtf8(workbench::kSelectAllText), this);
  all->setShortcut(QKeySequence::SelectAll);
  all->setShortcutContext(Qt::WidgetShortcut);
  connect(all, &QAction::triggered, this, [this] { selectAll(); });
  addAction(copy);
  addAction(all);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

QString CopyableTable::SelectedRowsText() const {
  QList<QModelIndex> rows = selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  QStringList lines;
  for (const QModelIndex& index : rows) {
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c) {
      const QTableWidgetItem* cell = item(index.row(), c);
      cells << (cell != nullptr ? cell->text() : QString());
    }
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CopyableTable::CopySelectedRows() const {
  const QString text = SelectedRowsText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void CopyableTable::keyPressEvent(QKeyEvent* event) {
  // Without this the view would copy only the current cell.
  if (event->matches(QKeySequence::Copy)) {
    CopySelectedRows();
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

}  // namespace kt::ui::qt
