// Peak memory of the workbench window with a full traffic log: 10,000 lines of polling traffic
// (requests and 97-byte replies) appended through the window, then VmHWM. Not a test.
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "modbus/ReplyCheck.h"
#include "ui/qt/workbench/WorkbenchWindow.h"

namespace {

long PeakKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kt::ui::qt::WorkbenchWindow window;
  window.ShowBeside();
  QApplication::processEvents();
  const long before = PeakKb();

  const std::vector<uint8_t> request = {0x01, 0x03, 0x00, 0x00, 0x00, 0x2D, 0x85, 0xDE};
  std::vector<uint8_t> reply(97, 0x5A);
  kt::ui::ReadTaken read;
  read.bytes = reply;
  read.address = 1;
  read.function = 3;
  read.length = 95;
  read.verdict = kt::modbus::CheckReply(reply, 1, 3, 95);
  constexpr int kLines = 10000;
  for (int i = 0; i < kLines / 2; ++i) {
    window.Log().OnFrameSent(request);
    window.Log().OnReadTaken(read);
    if (i % 100 == 0) QApplication::processEvents();
  }
  QApplication::processEvents();
  std::printf("log lines kept:                      %zu\n", window.Log().Lines().size());
  std::printf("peak memory, window open, empty log: %.1f MiB\n",
              static_cast<double>(before) / 1024);
  std::printf("peak memory after %d log lines:   %.1f MiB\n", kLines,
              static_cast<double>(PeakKb()) / 1024);
  return 0;
}
