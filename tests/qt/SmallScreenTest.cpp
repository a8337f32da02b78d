// The main dialog on the offscreen platform's screens of 1366x600 (the primary one, where it
// opens) and 1366x768 (tests/qt/screens/small-and-laptop.json): too tall for the first, it is cut
// to it and scrolls, Tab bringing "诊断与记录…" into view; on the second it is shown whole.
#include <gtest/gtest.h>

#include <QGuiApplication>
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

// Whether the controls scroll: the vertical and horizontal bars shown.
struct Bars {
  bool down;
  bool across;
  bool operator==(const Bars&) const = default;
};

Bars BarsOf(QWidget* dialog) {
  auto* area = dialog->findChild<QScrollArea*>();
  if (area == nullptr) return {false, false};
  return {area->verticalScrollBar()->isVisible(), area->horizontalScrollBar()->isVisible()};
}

// The scroll area lays out its bars a turn of the event loop after their range changed.
bool BarsBecome(QWidget* dialog, Bars bars) {
  return QTest::qWaitFor([&] { return BarsOf(dialog) == bars; }, 2000);
}

// Whether `w` is wholly inside what its dialog shows.
bool InView(QWidget* w, QWidget* dialog) {
  const QRect at(w->mapTo(dialog, QPoint(0, 0)), w->size());
  auto* area = dialog->findChild<QScrollArea*>();
  const QRect shown = area == nullptr ? dialog->rect()
                                      : QRect(area->viewport()->mapTo(dialog, QPoint(0, 0)),
                                              area->viewport()->size());
  return shown.contains(at);
}

// The rule both hosts share, each edge just inside and just outside, with a 17 px bar.
TEST(SmallScreen, AFrameIsCutToTheWorkAreaOnlyWhereItDoesNotFit) {
  const PixelRect area{0, 40, 1366, 728};
  struct Row {
    PixelRect frame;
    PixelRect shown;
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
  for (const Row& r : rows) {
    const FittedFrame f = FitFrame(r.frame, area, 17);
    EXPECT_EQ(f.frame, r.shown) << r.frame.left << "," << r.frame.width << "x" << r.frame.height;
    EXPECT_EQ(f.scrollsDown, r.down) << r.frame.width << "x" << r.frame.height;
    EXPECT_EQ(f.scrollsAcross, r.across) << r.frame.width << "x" << r.frame.height;
  }
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
      const QSize whole(u.X(t.widthDu), u.Y(t.heightDu));
      // Each screen's work area against the frame the template makes, just outside and inside.
      const QRect small = screens[0]->availableGeometry();
      ASSERT_GT(whole.height() + w->frameGeometry().height() - w->height(), small.height());
      EXPECT_TRUE(BarsBecome(w, {true, false}));
      EXPECT_TRUE(small.contains(w->frameGeometry()));
      EXPECT_EQ(w->frameGeometry().height(), small.height());

      // The focus moved to the button by a key or by the dialog brings it into view, in its
      // place in the template's layout and in the tab order.
      auto* button = ControlIn<QPushButton>(w, main_ids::kWorkbenchButton);
      ASSERT_NE(button, nullptr);
      EXPECT_FALSE(InView(button, w));
      host.FocusAndSelect(d, main_ids::kWorkbenchButton);
      EXPECT_TRUE(InView(button, w));
      for (const ControlTemplate& c : t.controls) {
        if (c.id == main_ids::kWorkbenchButton) {
          EXPECT_EQ(button->geometry(), u.Rect(c.rect));
        }
      }
      ControlIn(w, main_ids::kLinkLastDataBox)->setFocus(Qt::TabFocusReason);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), button);

      // On the screen where it fits: whole, without bars.
      w->move(screens[1]->availableGeometry().topLeft() + QPoint(100, 0));
      EXPECT_TRUE(BarsBecome(w, {false, false}));
      EXPECT_EQ(w->screen(), screens[1]);
      EXPECT_EQ(w->size(), whole);
      EXPECT_TRUE(InView(button, w));
      d.EndDialog(IDCANCEL);
    });
  };
  d.DoModal();
}

}  // namespace
}  // namespace kt::ui::qt::test
