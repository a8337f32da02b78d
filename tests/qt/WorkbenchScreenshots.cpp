// Renders the trend and wiring-check tabs against the simulated meter's load into PNG files, for
// the screenshots in docs/: workbench_screenshots OUTPUT_FOLDER.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "SimulatedBlocks.h"
#include "ui/qt/workbench/TrendTab.h"
#include "ui/qt/workbench/WiringTab.h"

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
bool TrendShot(const QString& path) {
  kt::ui::qt::TrendTab tab;
  tab.resize(1180, 660);
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

// A site where phase B's CT was fitted the wrong way round.
bool WiringShot(const QString& path) {
  kt::ui::qt::WiringTab tab;
  tab.resize(1180, 560);
  kt::testing::SimulatedBlocks meter({"--pt", "10", "--ct", "40", "--reverse-ct", "B"});
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
  const bool trends = TrendShot(out.filePath(QStringLiteral("workbench-trends.png")));
  const bool wiring = WiringShot(out.filePath(QStringLiteral("workbench-wiring.png")));
  return trends && wiring ? 0 : 1;
}
