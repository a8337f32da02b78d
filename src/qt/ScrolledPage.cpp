// A dialog's controls on a page that scrolls.
#include "qt/ScrolledPage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <vector>

#include "ui/dialog/FrameFit.h"

namespace kt::ui::qt {

ScrolledPage::ScrolledPage(QWidget& dialog, QSize pageSize) : QScrollArea(&dialog) {
  setObjectName(QStringLiteral("scrolledPage"));
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::NoFocus);  // no tab stop of its own
  auto* page = new QWidget;
  page->setFixedSize(pageSize);
  const QPointer<QWidget> focus = dialog.focusWidget();
  // The dialog's children in stacking order (its child windows aside); moved in this order onto
  // the page, they lie on each other as before and the focus chain keeps its order.
  std::vector<std::pair<QWidget*, bool>> controls;
  for (QObject* child : dialog.children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (w != nullptr && w != this && !w->isWindow()) {
      controls.emplace_back(w, w->isVisibleTo(&dialog));
    }
  }
  for (auto [w, shown] : controls) {
    w->setParent(page);
    w->setVisible(shown);
  }
  setWidget(page);
  resize(dialog.size());
  show();
  if (focus != nullptr) focus->setFocus(Qt::OtherFocusReason);
  QObject::connect(qApp, &QApplication::focusChanged, this,
                   [this](QWidget*, QWidget* now) { Reveal(now); });
}

void ScrolledPage::keyPressEvent(QKeyEvent* event) {
  event->ignore();
}

void ScrolledPage::Reveal(QWidget* w) {
  if (w != nullptr && widget() != nullptr && widget()->isAncestorOf(w)) {
    ensureWidgetVisible(w, kRevealMarginPixels, kRevealMarginPixels);
  }
}

}  // namespace kt::ui::qt
