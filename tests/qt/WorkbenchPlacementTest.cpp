// Where "诊断与记录" opens: the placement arithmetic over a table of screens and main dialog
// places, then the real window on the offscreen platform's screens of 1366×768, 1920×1080 and
// 2560×1440 at scale 2 (tests/qt/screens/offscreen-screens.json), and its remembered frame.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "ui/qt/workbench/WindowPlacement.h"
#include "ui/qt/workbench/WorkbenchWindow.h"

namespace kt::ui::qt::test {
namespace {

// The main dialog's frame and the workbench's wanted and least frame sizes at 96 dpi.
const QSize kMain(674, 725);
const QSize kWanted(768, 528);
const QSize kLeast(629, 453);

// The largest width the workbench may ask for as its minimum at 96 dpi.
constexpr int kMaxMinimumWidth = 640;

struct PlacementRow {
  std::string name;
  QRect available;
  QPoint mainAt;
  QRect window;        // expected, worked out by hand from the gaps of 8 px
  QPoint mainMovedTo;  // expected
};

// Each rule is tried at its edge: the room beside equal to the wanted or least width, and one
// pixel less; the screen just wide enough for both windows side by side, and one pixel narrower.
const std::vector<PlacementRow> kRows = {
    {"1920x1080, main dialog centred: main slides left, window on the right",
     {0, 0, 1920, 1080},
     {623, 177},
     {1152, 177, 768, 528},
     {470, 177}},
    {"1920x1080, main dialog right of centre: it slides right, window on the left",
     {0, 0, 1920, 1080},
     {624, 177},
     {0, 177, 768, 528},
     {776, 177}},
    {"1366x768, main dialog centred: both side by side",
     {0, 0, 1366, 768},
     {346, 21},
     {682, 21, 684, 528},
     {0, 21}},
    {"1366x768, main dialog at the left edge: narrowed to the room on its right",
     {0, 0, 1366, 768},
     {0, 0},
     {682, 0, 684, 528},
     {0, 0}},
    {"main dialog at the right edge: window on its left",
     {0, 0, 1920, 1080},
     {1246, 100},
     {470, 100, 768, 528},
     {1246, 100}},
    {"room on the right just the wanted width",
     {0, 0, 1920, 1080},
     {470, 40},
     {1152, 40, 768, 528},
     {470, 40}},
    {"room on the right one pixel short of the wanted width",
     {0, 0, 1920, 1080},
     {471, 40},
     {1153, 40, 767, 528},
     {471, 40}},
    {"room on the right just the least width",
     {0, 0, 1920, 1080},
     {609, 40},
     {1291, 40, 629, 528},
     {609, 40}},
    {"room on the right one pixel short of the least width: main slides",
     {0, 0, 1920, 1080},
     {610, 40},
     {1152, 40, 768, 528},
     {470, 40}},
    {"screen just wide enough for both",
     {0, 0, 1311, 768},
     {318, 21},
     {682, 21, 629, 528},
     {0, 21}},
    {"screen one pixel narrower than both: at the right edge, over the main dialog",
     {0, 0, 1310, 768},
     {318, 21},
     {542, 21, 768, 528},
     {318, 21}},
    {"1024x768, narrower than both: at the edge with more room",
     {0, 0, 1024, 768},
     {100, 21},
     {256, 21, 768, 528},
     {100, 21}},
    {"screen narrower than the window's least width",
     {0, 0, 600, 800},
     {0, 0},
     {0, 0, 600, 528},
     {0, 0}},
    {"portrait 1080x1920: below the main dialog",
     {0, 0, 1080, 1920},
     {203, 597},
     {203, 1330, 768, 528},
     {203, 597}},
    {"portrait, main dialog low: above it",
     {0, 0, 1080, 1920},
     {203, 1195},
     {203, 659, 768, 528},
     {203, 1195}},
    {"3840x2160 at scale 2 (1920x1080 logical) on the right of a first screen",
     {1920, 0, 1920, 1080},
     {2020, 50},
     {2702, 50, 768, 528},
     {2020, 50}},
    {"2560x1440 at scale 2 (1280x720 logical): too small for both, at the right edge",
     {0, 0, 1280, 720},
     {303, 0},
     {512, 0, 768, 528},
     {303, 0}},
    {"available area below a top panel: the window stays under it",
     {0, 32, 1920, 1048},
     {100, 0},
     {782, 32, 768, 528},
     {100, 0}},
};

TEST(WindowPlacement, ScreensAndMainDialogPlacesOverATable) {
  for (const PlacementRow& row : kRows) {
    SCOPED_TRACE(row.name);
    const QRect main(row.mainAt, kMain);
    const WindowPlacement placed = PlaceBesideMain(row.available, main, kWanted, kLeast);
    EXPECT_EQ(placed.window, row.window);
    EXPECT_EQ(placed.mainDialog.topLeft(), row.mainMovedTo);
    EXPECT_EQ(placed.mainDialog.size(), kMain);
    EXPECT_TRUE(row.available.contains(placed.window));
    if (row.available.width() >= 1366) {
      EXPECT_FALSE(placed.window.intersects(placed.mainDialog));
    }
  }
}

TEST(WindowPlacement, ARememberedFrameIsKeptOnlyWhenOnTheScreenAndClearOfTheMainDialog) {
  const QRect screen(0, 0, 1920, 1080);
  const QRect main(QPoint(100, 100), kMain);
  const QRect clear(900, 300, 700, 500);
  EXPECT_EQ(PlaceRemembered(screen, main, clear, kLeast).window, clear);
  // Partly off the screen (a monitor since removed), over the main dialog, or below the least
  // size: placed anew beside the main dialog, with the remembered size where it fits.
  EXPECT_EQ(PlaceRemembered(screen, main, clear.translated(400, 0), kLeast).window,
            QRect(782, 100, 700, 500));
  EXPECT_EQ(PlaceRemembered(screen, main, clear.translated(-200, 0), kLeast).window,
            QRect(782, 100, 700, 500));
  EXPECT_EQ(PlaceRemembered(screen, main, QRect(900, 300, 628, 500), kLeast).window,
            QRect(782, 100, 629, 500));
  EXPECT_EQ(PlaceRemembered(screen, main, QRect(1220, 100, 700, 980), kLeast).window,
            QRect(1220, 100, 700, 980));
  EXPECT_EQ(PlaceRemembered(screen, main, QRect(1221, 100, 700, 980), kLeast).window,
            QRect(782, 100, 700, 980));
}

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
