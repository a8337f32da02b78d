// The trend tab on the (offscreen) screen as the workbench shows it, the times the tests feed it
// blocks at, and the names the tab's tests use.
#pragma once

#include <QApplication>
#include <chrono>

#include "MeasuredBlocks.h"
#include "qt/workbench/TrendTab.h"

namespace kt::ui::qt::shown_tabs {

using namespace std::chrono_literals;
using kt::testing::SimulatedBlocks;
using values::Quantity;
using workbench::TrendSeries;
using workbench::UnitGroup;

// A day far from the epoch, where the tests' blocks begin.
inline const auto kStart = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000));

inline double Ms(std::chrono::system_clock::time_point t) {
  return static_cast<double>(
      std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count());
}

// The chart follows the blocks only while it is in view, as in the workbench.
struct ShownTrendTab : TrendTab {
  ShownTrendTab() {
    resize(1180, 660);
    show();
    QApplication::processEvents();
  }
};

}  // namespace kt::ui::qt::shown_tabs
