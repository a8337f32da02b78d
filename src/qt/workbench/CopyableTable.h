// A read-only table whose rows are selected with the mouse and copied as tab-separated text.
#pragma once

#include <QString>
#include <QTableWidget>

namespace kt::ui::qt {

class CopyableTable : public QTableWidget {
 public:
  CopyableTable(int rows, int columns, QWidget* parent);

  // The selected rows, top to bottom, one line each with the cells separated by tabs.
  QString SelectedRowsText() const;
  // Puts SelectedRowsText() on the clipboard (Ctrl+C, or "复制" in the context menu).
  void CopySelectedRows() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kt::ui::qt
