// Where "诊断与记录" opens: the real window on the offscreen platform's screens of 1366×768,
// 1920×1080 and 2560×1440 at scale 2 (tests/qt/screens/offscreen-screens.json), and its
// remembered frame. The placement arithmetic itself is tried in tests/workbench.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "qt/workbench/WorkbenchWindow.h"

namespace kt::ui::qt::test {
namespace {

// The main dialog's frame at 96 dpi.
const QSize kMain(674, 725);

// The largest width the workbench may ask for as its minimum at 96 dpi.
constexpr int kMaxMinimumWidth = 640;

// A stand-in for the main dialog: modal, of its frame size, on a given screen.
struct MainDialogOn {
  explicit MainDialogOn(const QScreen& screen, QPoint offset) {
    dialog.setModal(true);
    dialog.resize(kMain - QSize(4, 4));
    dialog.move(screen.availableGeometry().topLeft() + offset);
    dialog.show();
  }
  QRect Frame() const { return dialog.frameGeometry(); }
  QDialog dialog;
};

// Settings in a scratch folder, so that no run sees another's remembered frame.
struct ScratchSettings {
  ScratchSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings().remove(QString::fromLatin1(WorkbenchWindow::kGeometryKey));
  }
  QTemporaryDir dir;
};

QScreen* ScreenNamed(const QString& name) {
  for (QScreen* s : QGuiApplication::screens()) {
    if (s->name() == name) return s;
  }
  return nullptr;
}

TEST(WorkbenchPlacement, OpensWhollyOnEachScreenAndClearOfTheMainDialogFromWidth1366) {
  ScratchSettings settings;
  for (const char* name : {"1366x768", "1920x1080", "2560x1440 at scale 2"}) {
    SCOPED_TRACE(name);
    QScreen* screen = ScreenNamed(QString::fromLatin1(name));
    ASSERT_NE(screen, nullptr) << "run with QT_QPA_PLATFORM=offscreen:configfile=...json";
    const QRect available = screen->availableGeometry();
    // The main dialog as the program opens it: centred on the screen.
    MainDialogOn main(*screen, QPoint((available.width() - kMain.width()) / 2, 20));
    const bool mainWasOnScreen = available.contains(main.Frame());
    WorkbenchWindow workbench;
    workbench.ShowBeside();
    const QRect frame = workbench.frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.width();
    // A main dialog moved aside stays wholly on the screen.
    EXPECT_EQ(available.contains(main.Frame()), mainWasOnScreen);
    if (available.width() >= 1366) {
      EXPECT_FALSE(frame.intersects(main.Frame()));
    }
    EXPECT_GE(workbench.width(), workbench.minimumSizeHint().width());
    workbench.hide();
    QSettings().remove(QString::fromLatin1(WorkbenchWindow::kGeometryKey));
  }
}

TEST(WorkbenchPlacement, TheLeastWidthIsAtMost640PxAndTheTrendTabGivesWay) {
  WorkbenchWindow workbench;
  EXPECT_LE(workbench.minimumSizeHint().width(), kMaxMinimumWidth);
  // Every tab still fits its widgets at that width.
  workbench.resize(workbench.minimumSizeHint());
  workbench.show();
  for (QWidget* tab : workbench.findChildren<QWidget*>(QStringLiteral("trendTab"))) {
    EXPECT_LE(tab->minimumSizeHint().width(), workbench.width());
  }
}

TEST(WorkbenchPlacement, SizeAndPlaceAreRememberedForTheNextStart) {
  ScratchSettings settings;
  QScreen* screen = ScreenNamed(QStringLiteral("1920x1080"));
  ASSERT_NE(screen, nullptr);
  const QPoint origin = screen->availableGeometry().topLeft();
  MainDialogOn main(*screen, QPoint(40, 40));
  QRect chosen;
  {
    WorkbenchWindow first;
    first.ShowBeside();
    // The user moves and widens it, then the program ends with it open.
    first.resize(900, 600);
    first.move(origin + QPoint(800, 300));
    chosen = first.frameGeometry();
  }
  WorkbenchWindow next;
  next.ShowBeside();
  EXPECT_EQ(next.frameGeometry(), chosen);

  // Closed (hidden) elsewhere, then shown again: where it was closed.
  next.move(origin + QPoint(1000, 100));
  const QRect closedAt = next.frameGeometry();
  next.close();
  WorkbenchWindow third;
  third.ShowBeside();
  EXPECT_EQ(third.frameGeometry(), closedAt);
}

}  // namespace
}  // namespace kt::ui::qt::test
