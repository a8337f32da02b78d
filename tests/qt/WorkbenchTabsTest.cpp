// The trend and wiring-check tabs fed with decoded blocks of the simulated meter's load.
#include <gtest/gtest.h>

#include <QCategoryAxis>
#include <QLineSeries>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "ShownTrendTab.h"
#include "qt/workbench/PhasorView.h"
#include "qt/workbench/WiringTab.h"

namespace kt::ui::qt {
namespace {

using namespace shown_tabs;

struct Row {
  std::string verdict, message;
  QColor colour;
};

std::vector<Row> Rows(const WiringTab& tab) {
  std::vector<Row> rows;
  const QTableWidget& t = tab.table();
  for (int r = 0; r < t.rowCount(); ++r) {
    const QTableWidgetItem* verdict = t.item(r, WiringTab::kVerdictColumn);
    rows.push_back({verdict->text().toStdString(),
                    t.item(r, WiringTab::kMessageColumn)->text().toStdString(),
                    verdict->foreground().color()});
  }
  return rows;
}

bool Reddish(const QColor& c) {
  return c.red() > 150 && c.green() < 100 && c.blue() < 100;
}
bool Greenish(const QColor& c) {
  return c.green() > 100 && c.red() < 100 && c.blue() < 100;
}

// The table follows the blocks only while it is in view, as in the workbench.
struct ShownWiringTab : WiringTab {
  ShownWiringTab() { show(); }
};

TEST(WiringTab, ReversedCtOfPhaseBIsShownInRed) {
  ShownWiringTab tab;
  SimulatedBlocks meter({"--reverse-ct", "B", "--ct", "20"});
  tab.AddBlock(meter.At(kStart));

  const auto rows = Rows(tab);
  const auto bReversed = std::find_if(rows.begin(), rows.end(), [](const Row& r) {
    return r.message.find("B相有功功率为负") != std::string::npos &&
           r.message.find("电流互感器可能接反") != std::string::npos;
  });
  ASSERT_NE(bReversed, rows.end());
  EXPECT_EQ(bReversed->verdict, "异常");
  EXPECT_TRUE(Reddish(bReversed->colour)) << bReversed->colour.name().toStdString();

  // B's current points away from B's voltage; A's stays near its voltage.
  const workbench::PhasorDiagram& d = tab.phasors().diagram();
  const auto apart = [&](int p) {
    double deg = std::fmod(std::abs(d.currents[p].angleDeg - d.voltages[p].angleDeg), 360.0);
    return deg > 180 ? 360 - deg : deg;
  };
  EXPECT_GT(apart(1), 150.0);
  EXPECT_LT(apart(0), 30.0);
}

TEST(WiringTab, HealthyLoadMakesEveryCheckNormalAndGreen) {
  ShownWiringTab tab;
  SimulatedBlocks meter({"--ct", "20"});
  tab.AddBlock(meter.At(kStart));
  // The table follows each block: a faulty block first, then the healthy one replaces its rows;
  // out of sight it catches up with the newest block when shown.
  ShownWiringTab reused;
  // Two reversed CTs give a row each, more rows than the healthy block has.
  SimulatedBlocks faulty({"--reverse-ct", "A", "--reverse-ct", "C", "--ct", "20"});
  reused.AddBlock(faulty.At(kStart));
  ASSERT_GT(reused.table().rowCount(), tab.table().rowCount());
  reused.hide();
  reused.AddBlock(meter.At(kStart + 1s));
  reused.show();

  EXPECT_EQ(reused.table().rowCount(), tab.table().rowCount());
  for (const WiringTab* t : {&tab, &reused}) {
    const auto rows = Rows(*t);
    ASSERT_GE(rows.size(), 8u);
    for (const Row& r : rows) {
      EXPECT_EQ(r.verdict, "正常") << r.message;
      EXPECT_TRUE(Greenish(r.colour)) << r.message;
    }
  }
}

// The nominal frequency and the CTs' rated secondary are chosen in the tab (50 Hz and 5 A at
// first), judge the shown rows again at once and are remembered for the next tab: 60 Hz is a
// fault against 50 Hz; 3 % of a 1 A CT is too little for a 5 A CT and judged for a 1 A one.
// (Which figure is judged how: tests/workbench.)
TEST(WiringTab, NominalFrequencyAndCtSecondaryAreChosenAndRemembered) {
  QTemporaryDir settingsDir;
  ASSERT_TRUE(settingsDir.isValid());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  struct Choice {
    const char* key;
    std::vector<std::string> options;
    const char* text;  // in a row not 正常 before the choice, in none after it
    double (WiringTab::*get)() const;
    void (WiringTab::*set)(double);
    double first, chosen;
  };
  const Choice choices[] = {
      {WiringTab::kNominalHzKey,
       {"--frequency", "60", "--ct", "20"},
       "Hz",
       &WiringTab::NominalHz,
       &WiringTab::SetNominalHz,
       50.0,
       60.0},
      {WiringTab::kCtSecondaryKey,
       {"--ct-secondary", "1", "--load", "3", "--ct", "20"},
       "电流太小",
       &WiringTab::CtSecondaryA,
       &WiringTab::SetCtSecondaryA,
       5.0,
       1.0},
  };
  for (const Choice& c : choices) {
    SCOPED_TRACE(c.key);
    QSettings().remove(QString::fromLatin1(c.key));
    const auto judged = [&c](const WiringTab& tab) {
      const auto rows = Rows(tab);
      return std::any_of(rows.begin(), rows.end(), [&c](const Row& r) {
        return r.verdict != "正常" && r.message.find(c.text) != std::string::npos;
      });
    };
    SimulatedBlocks meter(c.options);
    ShownWiringTab tab;
    EXPECT_EQ((tab.*c.get)(), c.first);
    tab.AddBlock(meter.At(kStart));
    EXPECT_TRUE(judged(tab));
    (tab.*c.set)(c.chosen);
    EXPECT_FALSE(judged(tab));
    ShownWiringTab next;
    EXPECT_EQ((next.*c.get)(), c.chosen);
    (next.*c.set)(c.first);
    EXPECT_EQ((ShownWiringTab().*c.get)(), c.first);
  }
}

TEST(TrendTab, PauseFreezesTheViewWhileBlocksKeepComing) {
  ShownTrendTab tab;
  tab.SetSpan(1min);
  SimulatedBlocks meter;
  for (int n = 0; n < 10; ++n) tab.AddBlock(meter.At(kStart + n * 1s));
  const QLineSeries& ua = *tab.series(TrendSeries::PhaseVoltageA);
  ASSERT_EQ(ua.count(), 10);
  EXPECT_NEAR(ua.at(9).y(), 220.0, 5.0);

  tab.SetPaused(true);
  for (int n = 10; n < 15; ++n) tab.AddBlock(meter.At(kStart + n * 1s));
  EXPECT_EQ(ua.count(), 10);
  EXPECT_EQ(tab.storedBlocks(), 15u);

  tab.SetPaused(false);
  EXPECT_EQ(ua.count(), 15);

  // Out of sight it only stores, and catches up when shown.
  tab.hide();
  for (int n = 15; n < 25; ++n) tab.AddBlock(meter.At(kStart + n * 1s));
  EXPECT_EQ(ua.count(), 15);
  tab.show();
  EXPECT_EQ(ua.count(), 25);
  EXPECT_EQ(ua.points().back().x(), Ms(kStart + 24s));
}

TEST(TrendTab, SpanAndThinningKeepTheWindowAndItsPeaks) {
  ShownTrendTab tab;
  tab.SetSpan(60min);
  SimulatedBlocks meter;
  tab.SetPaused(true);
  for (int n = 0; n < 7200; ++n) {
    values::MeasuredBlock b = meter.At(kStart + n * 500ms);
    if (n == 3001) b[Quantity::PhaseVoltageA] = 300.0;  // one short swell
    tab.AddBlock(b);
  }
  tab.SetPaused(false);
  const QLineSeries& ua = *tab.series(TrendSeries::PhaseVoltageA);
  const auto points = ua.points();
  ASSERT_FALSE(points.isEmpty());
  EXPECT_LT(points.size(), 7200 / 2);
  const double peak = std::max_element(points.begin(), points.end(), [](auto& a, auto& b) {
                        return a.y() < b.y();
                      })->y();
  EXPECT_DOUBLE_EQ(peak, 300.0);

  // On the minute's axis (70 s: tests/workbench) each block is a point of its own.
  tab.SetSpan(1min);
  const auto lastMinute = ua.points();
  ASSERT_FALSE(lastMinute.isEmpty());
  EXPECT_EQ(lastMinute.front().x(), tab.timeAxis().min());
  EXPECT_EQ(lastMinute.back().x(), Ms(kStart + 7199 * 500ms));
  EXPECT_EQ(lastMinute.size(), 140);
}

}  // namespace
}  // namespace kt::ui::qt
