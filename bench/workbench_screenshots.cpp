// Renders the trend and wiring-check tabs against the simulated meter's load into PNG files, for
// the screenshots in docs/: workbench_screenshots OUTPUT_FOLDER.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QSize>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "MeasuredBlocks.h"
#include "qt/workbench/TrendTab.h"
#include "qt/workbench/WiringTab.h"

namespace {

using namespace std::chrono_literals;

bool Save(QWidget& tab, const QString& path) {
  tab.show();
  QApplication::processEvents();
  const bool saved = tab.grab().save(path, "PNG");
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

// Ten minutes of a load that swings slowly and steps up once, two blocks a second.
bool TrendShot(const QString& path, QSize size) {
  kt::ui::qt::TrendTab tab;
  tab.resize(size);
  tab.SetSpan(10min);
  tab.SetPaused(true);
  kt::testing::SimulatedBlocks meter({"--pt", "10", "--ct", "40", "--unbalance", "15"});
  const auto start = std::chrono::system_clock::now() - 10min;
  const kt::sim::LoadProfile base = meter.config().load;
  for (int n = 0; n <= 1200; ++n) {
    const double seconds = n * 0.5;
    kt::sim::LoadProfile load = base;
    const double swing = 1.0 + 0.18 * std::sin(2 * std::numbers::pi * seconds / 260.0) +
                         (seconds > 380 ? 0.35 : 0.0);
    for (std::size_t p = 0; p < 3; ++p) {
      load.current[p] = base.current[p] * swing;
      load.phaseVoltage[p] = base.phaseVoltage[p] * (1.0 - 0.012 * (swing - 1.0));
    }
    meter.SetLoad(load);
    tab.AddBlock(meter.At(start + std::chrono::milliseconds(n * 500)));
  }
  tab.SetPaused(false);
  return Save(tab, path);
}

// The wiring check on a site with the given kt7340-sim options.
bool WiringShot(const QString& path, const std::vector<std::string>& options) {
  kt::ui::qt::WiringTab tab;
  tab.SetNominalHz(50.0);
  tab.resize(1280, 600);
  kt::testing::SimulatedBlocks meter(options);
  tab.AddBlock(meter.At(std::chrono::system_clock::now()));
  return Save(tab, path);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: workbench_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  bool trends = TrendShot(out.filePath(QStringLiteral("workbench-trends.png")), {1180, 660});
  // The tab in the window as it opens beside the main dialog on a 1366 and a 1920 screen.
  for (const int width : {684, 614}) {
    trends = TrendShot(out.filePath(QStringLiteral("workbench-trends-%1.png").arg(width)),
                       {width - 24, 560}) &&
             trends;
  }
  // Four-wire: B's CT fitted the wrong way round on a load of power factor 0.5.
  const bool fourWire =
      WiringShot(out.filePath(QStringLiteral("workbench-wiring.png")),
                 {"--pt", "10", "--ct", "40", "--reverse-ct", "B", "--pf", "0.5"});
  // Three-wire: C's CT reversed, the meter measuring U_AB·I_A and U_CB·I_C.
  const bool threeWire = WiringShot(
      out.filePath(QStringLiteral("workbench-wiring-3p3w.png")),
      {"--pt", "100", "--ct", "40", "--site", "3p3w", "--wiring", "2", "--reverse-ct", "C"});
  return trends && fourWire && threeWire ? 0 : 1;
}
