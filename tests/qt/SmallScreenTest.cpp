// A dialog on a screen too small for it: the rule both hosts share, and the main dialog on the
// offscreen screens of 1366x600 (where it opens) and 1366x768 (screens/small-and-laptop.json).
#include <gtest/gtest.h>

#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "RecordingDialog.h"
#include "qt/DialogFont.h"
#include "qt/QtWindowHost.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogTemplate.h"
#include "ui/dialog/FrameFit.h"

namespace kt::ui::qt::test {
namespace {

// Each edge just inside and just outside, a 17 px bar: frame -> shown frame, bars.
TEST(SmallScreen, AFrameIsCutToTheWorkAreaOnlyWhereItDoesNotFit) {
  const struct {
    PixelRect frame, shown;
    bool down, across;
  } rows[] = {
      {{100, 40, 600, 728}, {100, 40, 600, 728}, false, false},
      {{100, 0, 600, 729}, {100, 40, 617, 728}, true, false},
      {{1000, 60, 600, 729}, {749, 40, 617, 728}, true, false},
      {{0, 40, 1366, 711}, {0, 40, 1366, 711}, false, false},
      {{10, 40, 1367, 711}, {0, 40, 1366, 728}, false, true},
      {{0, 40, 1367, 712}, {0, 40, 1366, 728}, true, true},
      {{0, 40, 1350, 729}, {0, 40, 1366, 728}, true, true},
  };
  for (const auto& r : rows) {
    const FittedFrame f = FitFrame(r.frame, {0, 40, 1366, 728}, 17);
    EXPECT_EQ(f.frame, r.shown) << r.frame.left << " " << r.frame.width << "x" << r.frame.height;
    EXPECT_EQ(std::pair(f.scrollsDown, f.scrollsAcross), std::pair(r.down, r.across));
  }
}

// Whether only the vertical bar (`down`) or no bar shows, once the scroll area has laid its
// bars out (a turn of the event loop after their range changed).
bool BarsBecome(QWidget* dialog, bool down) {
  return QTest::qWaitFor(
      [&] {
        auto* a = dialog->findChild<QScrollArea*>();
        return (a != nullptr && a->verticalScrollBar()->isVisible()) == down &&
               (a == nullptr || !a->horizontalScrollBar()->isVisible());
      },
      2000);
}

TEST(SmallScreen, TheMainDialogScrollsWhereItDoesNotFitAndIsWholeWhereItDoes) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  ASSERT_EQ(screens.size(), 2) << "run with QT_QPA_PLATFORM=offscreen:configfile=...json";
  QtWindowHost host;
  RecordingDialog d(host, MainDialogTemplate());
  d.onInit = [&] {
    UserStep(d, [&] {
      QWidget* w = host.WindowOf(d);
      const DialogUnits u = DialogUnits::Of(w->font());
      const DialogTemplate& t = MainDialogTemplate();
      const QRect small = screens[0]->availableGeometry();
      EXPECT_TRUE(BarsBecome(w, true));
      EXPECT_TRUE(small.contains(w->frameGeometry()));
      EXPECT_EQ(w->frameGeometry().height(), small.height());

      // Focus moved to the button by the dialog (or a mnemonic) brings it into view; it keeps its
      // place in the tab order.
      auto* button = ControlIn<QPushButton>(w, main_ids::kWorkbenchButton);
      EXPECT_NE(button->visibleRegion(), QRegion(button->rect()));
      host.FocusAndSelect(d, main_ids::kWorkbenchButton);
      EXPECT_EQ(button->visibleRegion(), QRegion(button->rect()));
      ControlIn(w, main_ids::kLinkLastDataBox)->setFocus(Qt::TabFocusReason);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), button);

      // On the screen where it fits: whole, without bars.
      w->move(screens[1]->availableGeometry().topLeft());
      EXPECT_TRUE(BarsBecome(w, false));
      EXPECT_EQ(w->screen(), screens[1]);
      EXPECT_EQ(w->size(), QSize(u.X(t.widthDu), u.Y(t.heightDu)));
      d.EndDialog(IDCANCEL);
    });
  };
  d.DoModal();
}

}  // namespace
}  // namespace kt::ui::qt::test
