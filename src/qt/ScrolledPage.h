// The client area of a fixed dialog that does not fit its screen: its controls on a page of the
// template's size that scrolls, by its scroll bars, the wheel and the keyboard focus, so that
// every control can be reached. On the page the controls stay where the template places them,
// in the same tab order.
#pragma once

#include <QScrollArea>

namespace kt::ui::qt {

class ScrolledPage : public QScrollArea {
 public:
  // Moves the dialog's controls, in their stacking order, onto a page of `pageSize` that fills
  // the dialog; hidden controls stay hidden and the focus stays where it was.
  ScrolledPage(QWidget& dialog, QSize pageSize);

 protected:
  // Keys go on to the dialog, as when it does not scroll.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Scrolls so that `w`, when it is on the page, is wholly in view.
  void Reveal(QWidget* w);
};

}  // namespace kt::ui::qt
