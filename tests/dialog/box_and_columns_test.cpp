// Where message boxes open and how a table's columns share its width, for both window hosts.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "ui/dialog/BoxPlacement.h"
#include "ui/dialog/ColumnWidths.h"

namespace kt::ui {
namespace {

TEST(BoxPlacement, CentredOnTheOwnerThenInsideTheWorkArea) {
  const PixelRect screen{0, 0, 1366, 728};  // 1366x768 less a 40 px panel
  // Owner, work area, and the box expected (its size is the box's).
  const PixelRect cases[][3] = {
      {{100, 50, 600, 500}, screen, {250, 250, 300, 100}},
      {{1300, 700, 200, 200}, screen, {1066, 628, 300, 100}},  // over the bottom right
      {{0, 0, 100, 100}, {0, 0, 200, 50}, {0, 0, 300, 100}},   // box larger than the area
      {{-1000, 100, 400, 300}, {-1920, 0, 1920, 1040}, {-950, 200, 300, 100}},   // left screen
      {{INT_MAX - 10, INT_MIN, INT_MAX, INT_MAX}, screen, {1066, 0, 300, 100}},  // absurd
  };
  for (const auto& [owner, area, box] : cases) {
    EXPECT_EQ(CentredOnOwner(owner, box.width, box.height, area), box) << owner.left;
  }
}

TEST(ColumnWidths, AllColumnsShowAndTheNarrowOnesStayWhole) {
  // Wanted, available, and the widths expected (they add up to what is available).
  const std::tuple<std::vector<int>, int, std::vector<int>> cases[] = {
      {{40, 60, 50}, 200, {40, 60, 100}},             // room left: the last takes it
      {{40, 60, 100}, 200, {40, 60, 100}},            // just fits
      {{40, 60, 101}, 200, {40, 60, 100}},            // a pixel short: the widest gives it
      {{40, 300, 60, 201}, 401, {40, 150, 60, 151}},  // the odd pixel to the last narrowed
      {{100, 100, 100}, 10, {3, 3, 4}},
      {{10, 20}, -5, {0, 0}},
  };
  for (const auto& [wanted, available, widths] : cases) {
    EXPECT_EQ(FittedColumnWidths(wanted, available), widths) << available;
  }
}

}  // namespace
}  // namespace kt::ui
