// Memory of the workbench window (not a test): the first showing of the tab "趋势" after ten
// minutes of blocks at 9600 baud (a block every second poll period, as the cycle alternates the
// block with the power multiplier, give or take a few milliseconds of timer jitter), then a
// minute more with the tab in view; then 10,000 lines of polling traffic (requests and 97-byte
// replies) appended to the log. Prints the resident memory (VmRSS), the heap in use (glibc's
// count of allocated bytes) and the peak (VmHWM).
#include <malloc.h>

#include <QApplication>
#include <QTabWidget>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "modbus/ReplyCheck.h"
#include "qt/workbench/TrendTab.h"
#include "qt/workbench/WorkbenchWindow.h"

namespace {

using std::chrono::milliseconds;

double StatusMiB(const char* key) {
  std::ifstream status("/proc/self/status");
  const std::string prefix = std::string(key) + ":";
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) / 1024;
  }
  return -1;
}

double HeapInUseMiB() {
  return static_cast<double>(mallinfo2().uordblks) / (1024 * 1024);
}

void Report(const char* when) {
  std::printf("%-44s VmRSS %6.1f MiB  heap in use %5.1f MiB\n", when, StatusMiB("VmRSS"),
              HeapInUseMiB());
}

constexpr uint32_t kPollPeriodMs = 500;  // 9600 baud

// A slowly moving load; every quantity has a wave of its own.
kt::values::MeasuredBlock BlockAt(std::chrono::system_clock::time_point start, milliseconds t) {
  kt::values::MeasuredBlock b;
  b.time = start + t;
  b.pollPeriodMs = kPollPeriodMs;
  const double s = static_cast<double>(t.count()) / 1000.0;
  for (std::size_t i = 0; i < b.values.size(); ++i) {
    const double k = static_cast<double>(i);
    b.values[i] = (100.0 + 10.0 * k) * (1.0 + 0.1 * std::sin(s / (60.0 + k)));
  }
  return b;
}

// Two poll periods, late or early by up to 4 ms.
milliseconds NextBlockAfter(int n) {
  return milliseconds(2 * kPollPeriodMs + (n * 37) % 9 - 4);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kt::ui::qt::WorkbenchWindow window;
  window.ShowBeside();
  QApplication::processEvents();
  auto* trend = window.findChild<kt::ui::qt::TrendTab*>(QStringLiteral("trendTab"));
  auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("workbenchTabs"));
  if (trend == nullptr || tabs == nullptr) return 1;

  const auto start = std::chrono::system_clock::now() - std::chrono::minutes(11);
  milliseconds t{0};
  int n = 0;
  const auto addBlocks = [&](milliseconds until, bool drawn) {
    for (; t < until; t += NextBlockAfter(n++)) {
      trend->AddBlock(BlockAt(start, t));
      if (drawn) QApplication::processEvents();
    }
  };
  addBlocks(std::chrono::minutes(10), false);
  QApplication::processEvents();
  Report("10 min of blocks, \"报文\" in view:");
  tabs->setCurrentWidget(trend);
  QApplication::processEvents();
  Report("\"趋势\" shown for the first time:");
  addBlocks(std::chrono::minutes(11), true);
  Report("a minute later:");
  tabs->setCurrentIndex(0);
  QApplication::processEvents();

  const std::vector<uint8_t> request = {0x01, 0x03, 0x00, 0x00, 0x00, 0x2D, 0x85, 0xDE};
  std::vector<uint8_t> reply(97, 0x5A);
  kt::values::ReadTaken read;
  read.bytes = reply;
  read.address = 1;
  read.function = 3;
  read.length = 95;
  read.verdict = kt::modbus::CheckReply(reply, 1, 3, 95);
  constexpr int kLines = 10000;
  const double peakBefore = StatusMiB("VmHWM");
  for (int i = 0; i < kLines / 2; ++i) {
    window.Log().OnFrameSent(request);
    window.Log().OnReadTaken(read);
    if (i % 100 == 0) QApplication::processEvents();
  }
  QApplication::processEvents();
  std::printf("log lines kept:                      %zu\n", window.Log().Lines().size());
  std::printf("peak memory before the log filled:   %.1f MiB\n", peakBefore);
  std::printf("peak memory after %d log lines:   %.1f MiB\n", kLines, StatusMiB("VmHWM"));
  return 0;
}
