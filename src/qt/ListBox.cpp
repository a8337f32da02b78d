// Clicks and key moves of a list box reach the dialog as the same pick.
#include "qt/ListBox.h"

#include <QKeyEvent>
#include <utility>

namespace kt::ui::qt {

ListBox::ListBox(QWidget* parent, std::function<void(int)> onPick)
    : QListWidget(parent), onPick_(std::move(onPick)) {
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (item != nullptr) onPick_(row(item));
  });
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  const int before = currentRow();
  QListWidget::keyPressEvent(event);
  const int after = currentRow();
  if (after >= 0 && after != before) onPick_(after);
}

}  // namespace kt::ui::qt
