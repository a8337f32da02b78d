// What both front ends take from the core to lay the workbench out: the trend's column count
// within its point budget, the round steps and room of a value axis, the decimals of its labels,
// and the workbench's place beside the main dialog, each tried at and beside its edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "workbench/TrendChoices.h"
#include "workbench/WindowPlacement.h"

namespace kt::workbench {
namespace {

// The most columns of two pixels that fit `width` while all shown series together give at most
// 3000 points (two per column), but never fewer than 60: counted up one column at a time.
std::size_t CountedColumns(std::size_t width, std::size_t shown) {
  std::size_t n = 0;
  while (2 * (n + 1) <= width && 2 * (n + 1) * shown <= 3000) ++n;
  return std::max<std::size_t>(n, 60);
}

TEST(TrendLayout, ColumnsFillTheWidthWithinThePointBudget) {
  for (const std::size_t shown : {1U, 2U, 7U, 17U}) {
    for (const std::size_t width : {0U, 100U, 119U, 120U, 121U, 122U, 428U, 429U, 430U, 1000U,
                                    2999U, 3000U, 3001U, 3002U, 8000U}) {
      EXPECT_EQ(TrendColumnCount(width, shown), CountedColumns(width, shown))
          << width << " px, " << shown << " series";
    }
  }
  // No series shown counts as one.
  EXPECT_EQ(TrendColumnCount(5000, 0), CountedColumns(5000, 1));
}

// Whether `step` is 1, 2 or 5 times a power of ten.
bool Round(double step) {
  const double magnitude = std::pow(10.0, std::floor(std::log10(step)));
  const double mantissa = step / magnitude;
  return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
         std::abs(mantissa - 5) < 1e-9 || std::abs(mantissa - 10) < 1e-9;
}

TEST(TrendLayout, ValueAxesStandOnRoundStepsAroundTheData) {
  struct Case {
    double low, high;
    NiceRange expected;
  };
  // Worked by hand: a fifth of the span, rounded up to 1, 2 or 5 times a power of ten.
  const Case cases[] = {
      {217.3, 223.1, {216, 224, 5}},  // a fifth is 1.16: steps of 2
      {0, 1, {0, 1, 6}},              // 0.2 exactly
      {0, 10, {0, 10, 6}},            // 2 exactly: still 2
      {0, 10.5, {0, 15, 4}},          // just over 2: 5
      {-3.2, 7.9, {-5, 10, 4}},       // 2.22: 5
  };
  for (const Case& c : cases) {
    const NiceRange r = MakeNice(c.low, c.high);
    EXPECT_DOUBLE_EQ(r.low, c.expected.low) << c.low << ".." << c.high;
    EXPECT_DOUBLE_EQ(r.high, c.expected.high) << c.low << ".." << c.high;
    EXPECT_EQ(r.ticks, c.expected.ticks) << c.low << ".." << c.high;
  }
  // Any data: the range holds it, on round steps, in three to eleven labels.
  for (int i = 0; i < 15; ++i) {
    const double low = -950 + 137.7 * i;
    for (const double width : {0.013, 0.7, 3.3, 48.0, 999.0}) {
      const NiceRange r = MakeNice(low, low + width);
      const double step = (r.high - r.low) / (r.ticks - 1);
      EXPECT_LE(r.low, low);
      EXPECT_GE(r.high, low + width);
      EXPECT_TRUE(Round(step)) << step;
      EXPECT_GE(r.ticks, 3);
      EXPECT_LE(r.ticks, 11);
    }
  }
}

TEST(TrendLayout, AxisRoomNeverReachesAcrossZeroAndAFlatLineGetsSome) {
  // A flat 220 V: half a percent of room each side, on steps of 0.5.
  const NiceRange flat = AxisRangeFor(220, 220);
  EXPECT_DOUBLE_EQ(flat.low, 218.5);
  EXPECT_DOUBLE_EQ(flat.high, 221.5);
  EXPECT_EQ(flat.ticks, 7);
  // Positive data from near zero: the room stops at zero; negative data likewise.
  EXPECT_DOUBLE_EQ(AxisRangeFor(0.2, 5).low, 0);
  EXPECT_DOUBLE_EQ(AxisRangeFor(-5, -0.2).high, 0);
  // Data across zero keeps room on both sides.
  const NiceRange across = AxisRangeFor(-2, 5);
  EXPECT_LT(across.low, -2);
  EXPECT_GT(across.high, 5);
}

TEST(TrendLayout, LabelsHaveEnoughDecimalsToTellTheirStepsApart) {
  const std::pair<double, int> steps[] = {{0.0999, 3}, {0.1, 2},   {0.999, 2},
                                          {1, 1},      {19.99, 1}, {20, 0}};
  for (const auto& [step, decimals] : steps) EXPECT_EQ(LabelDecimals(step), decimals) << step;
}

TEST(WorkbenchPlacement, RectanglesThatTouchDoNotOverlap) {
  const ScreenRect a{100, 100, 50, 40};
  EXPECT_FALSE(a.Intersects({150, 100, 10, 10}));  // touching on the right
  EXPECT_TRUE(a.Intersects({149, 100, 10, 10}));   // one pixel over
  EXPECT_FALSE(a.Intersects({100, 140, 10, 10}));  // touching below
  EXPECT_TRUE(a.Intersects({100, 139, 10, 10}));
  EXPECT_FALSE(a.Intersects({110, 110, 0, 10}));  // empty
  EXPECT_TRUE(a.Contains(a));
  EXPECT_FALSE(a.Contains({100, 100, 51, 40}));
  EXPECT_FALSE(a.Contains({99, 100, 50, 40}));
}

// The main dialog's frame and the workbench's wanted and least frame sizes at 96 dpi.
constexpr ScreenSize kMain{674, 725};
constexpr ScreenSize kWanted{768, 528};
constexpr ScreenSize kLeast{629, 453};

struct Spot {
  int x = 0;
  int y = 0;
};

struct PlacementRow {
  ScreenRect available;
  Spot mainAt;
  ScreenRect window;  // expected, worked out by hand from the gaps of 8 px
  Spot mainMovedTo;   // expected
};

// Each rule is tried at its edge: the room beside equal to the wanted or least width, and one
// pixel less; the screen just wide enough for both windows side by side, and one pixel narrower;
// the main dialog as low as a window beside it fits, and lower. Rows are counted from 1.
const std::vector<PlacementRow> kRows = {
    // 1920x1080, main dialog centred: main slides left, window on the right
    {{0, 0, 1920, 1080}, {623, 177}, {1152, 177, 768, 528}, {470, 177}},
    // 1920x1080, main dialog right of centre: it slides right, window on the left
    {{0, 0, 1920, 1080}, {624, 177}, {0, 177, 768, 528}, {776, 177}},
    // 1366x768, main dialog centred: both side by side
    {{0, 0, 1366, 768}, {346, 21}, {682, 21, 684, 528}, {0, 21}},
    // 1366x768, main dialog at the left edge: narrowed to the room on its right
    {{0, 0, 1366, 768}, {0, 0}, {682, 0, 684, 528}, {0, 0}},
    // main dialog at the right edge: window on its left
    {{0, 0, 1920, 1080}, {1246, 100}, {470, 100, 768, 528}, {1246, 100}},
    // room on the right just the wanted width
    {{0, 0, 1920, 1080}, {470, 40}, {1152, 40, 768, 528}, {470, 40}},
    // room on the right one pixel short of the wanted width
    {{0, 0, 1920, 1080}, {471, 40}, {1153, 40, 767, 528}, {471, 40}},
    // room on the right just the least width
    {{0, 0, 1920, 1080}, {609, 40}, {1291, 40, 629, 528}, {609, 40}},
    // room on the right one pixel short of the least width: main slides
    {{0, 0, 1920, 1080}, {610, 40}, {1152, 40, 768, 528}, {470, 40}},
    // screen just wide enough for both
    {{0, 0, 1311, 768}, {318, 21}, {682, 21, 629, 528}, {0, 21}},
    // screen one pixel narrower than both: at the right edge, over the main dialog
    {{0, 0, 1310, 768}, {318, 21}, {542, 21, 768, 528}, {318, 21}},
    // 1024x768, narrower than both: at the edge with more room
    {{0, 0, 1024, 768}, {100, 21}, {256, 21, 768, 528}, {100, 21}},
    // screen narrower than the window's least width
    {{0, 0, 600, 800}, {0, 0}, {0, 0, 600, 528}, {0, 0}},
    // portrait 1080x1920: below the main dialog
    {{0, 0, 1080, 1920}, {203, 597}, {203, 1330, 768, 528}, {203, 597}},
    // portrait, main dialog low: above it
    {{0, 0, 1080, 1920}, {203, 1195}, {203, 659, 768, 528}, {203, 1195}},
    // 3840x2160 at scale 2 (1920x1080 logical) on the right of a first screen
    {{1920, 0, 1920, 1080}, {2020, 50}, {2702, 50, 768, 528}, {2020, 50}},
    // 2560x1440 at scale 2 (1280x720 logical): too small for both, at the right edge
    {{0, 0, 1280, 720}, {303, 0}, {512, 0, 768, 528}, {303, 0}},
    // available area below a top panel: the window stays under it
    {{0, 32, 1920, 1048}, {100, 0}, {782, 32, 768, 528}, {100, 0}},
    // main dialog's top as low as a window beside it can start
    {{0, 0, 1920, 1080}, {100, 552}, {782, 552, 768, 528}, {100, 552}},
    // main dialog one pixel lower: the window beside it stays on the screen
    {{0, 0, 1920, 1080}, {100, 553}, {782, 552, 768, 528}, {100, 553}},
    // main dialog dragged half off the bottom, above a bottom panel
    {{0, 0, 1366, 728}, {0, 600}, {682, 200, 684, 528}, {0, 600}},
};

TEST(WorkbenchPlacement, ScreensAndMainDialogPlacesOverATable) {
  for (size_t i = 0; i < kRows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    const PlacementRow& row = kRows[i];
    const ScreenRect main{row.mainAt.x, row.mainAt.y, kMain.width, kMain.height};
    const WindowPlacement placed = PlaceBesideMain(row.available, main, kWanted, kLeast);
    EXPECT_EQ(placed.window, row.window);
    EXPECT_EQ(placed.mainDialog,
              (ScreenRect{row.mainMovedTo.x, row.mainMovedTo.y, kMain.width, kMain.height}));
    EXPECT_TRUE(row.available.Contains(placed.window));
    if (row.available.width >= 1366) {
      EXPECT_FALSE(placed.window.Intersects(placed.mainDialog));
    }
  }
}

TEST(WorkbenchPlacement, ARememberedFrameIsKeptOnlyWhenOnTheScreenAndClearOfTheMainDialog) {
  const ScreenRect screen{0, 0, 1920, 1080};
  const ScreenRect main{100, 100, kMain.width, kMain.height};
  const ScreenRect clear{900, 300, 700, 500};
  EXPECT_EQ(PlaceRemembered(screen, main, clear, kLeast).window, clear);
  // Partly off the screen (a monitor since removed), over the main dialog, or below the least
  // size: placed anew beside the main dialog, with the remembered size where it fits.
  const auto placed = [&](ScreenRect remembered) {
    return PlaceRemembered(screen, main, remembered, kLeast).window;
  };
  EXPECT_EQ(placed({1300, 300, 700, 500}), (ScreenRect{782, 100, 700, 500}));
  EXPECT_EQ(placed({700, 300, 700, 500}), (ScreenRect{782, 100, 700, 500}));
  EXPECT_EQ(placed({900, 300, 628, 500}), (ScreenRect{782, 100, 629, 500}));
  EXPECT_EQ(placed({1220, 100, 700, 980}), (ScreenRect{1220, 100, 700, 980}));
  EXPECT_EQ(placed({1221, 100, 700, 980}), (ScreenRect{782, 100, 700, 980}));
}

}  // namespace
}  // namespace kt::workbench
