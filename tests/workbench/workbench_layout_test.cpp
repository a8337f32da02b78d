// What both front ends take from the core to lay the workbench out: the trend's column count
// within its point budget, the round steps and room of a value axis, the decimals of its labels,
// and the workbench's place beside the main dialog, each tried at and beside its edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

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
  EXPECT_EQ(LabelDecimals(0.0999), 3);
  EXPECT_EQ(LabelDecimals(0.1), 2);
  EXPECT_EQ(LabelDecimals(0.999), 2);
  EXPECT_EQ(LabelDecimals(1), 1);
  EXPECT_EQ(LabelDecimals(19.99), 1);
  EXPECT_EQ(LabelDecimals(20), 0);
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

TEST(WorkbenchPlacement, BesideTheMainDialogWhileTheRoomTakesTheWantedWidth) {
  const ScreenRect main{100, 100, 400, 300};
  const ScreenSize wanted{760, 520};
  const ScreenSize least{400, 300};
  // Right of the main dialog: 500 + 8 + 760 = 1268 is just enough.
  const WindowPlacement fits = PlaceBesideMain({0, 0, 1268, 1000}, main, wanted, least);
  EXPECT_EQ(fits.window, (ScreenRect{508, 100, 760, 520}));
  EXPECT_EQ(fits.mainDialog, main);
  // One pixel less: still on the right, one pixel narrower (the left has less room).
  const WindowPlacement narrowed = PlaceBesideMain({0, 0, 1267, 1000}, main, wanted, least);
  EXPECT_EQ(narrowed.window, (ScreenRect{508, 100, 759, 520}));
  // Neither side takes the least width: the main dialog slides aside when both fit.
  const ScreenRect centred{300, 100, 400, 300};
  const WindowPlacement slid = PlaceBesideMain({0, 0, 1000, 1000}, centred, wanted, least);
  EXPECT_FALSE(slid.window.Intersects(slid.mainDialog));
  EXPECT_TRUE((ScreenRect{0, 0, 1000, 1000}).Contains(slid.window));
  EXPECT_NE(slid.mainDialog.x, centred.x);
}

}  // namespace
}  // namespace kt::workbench
