// Not a test: bench/win32_workbench_figures.sh runs it against kt7340-sim on a COM port. It polls
// the meter at 9600 baud with the main dialog and, unless told "alone", the workbench window open
// on one tab (a recording running on "record"; on "full" the log, filled to what it keeps before
// polling, drops a line for each new one), then prints the process's CPU share over the
// measured seconds; with "fill" it then puts 10,000 lines in the log's list and prints the peak
// working set. The port goes through a line schedule, as in the program ("bus": its page shown,
// the bus poller not started).
//   workbench_load_probe PORT SECONDS alone|log|full|record|trend|wiring|bus [fill]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "bus/LineScheduler.h"
#include "modbus/Clock.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"
#include "win32/Win32WindowHost.h"
#include "win32/workbench/RecordingPanel.h"
#include "win32/workbench/TrafficPanel.h"
#include "win32/workbench/WorkbenchWindow.h"
// windows.h (by the window host) first: psapi.h needs its types.
#include <psapi.h>

namespace {

constexpr UINT kStepMs = 500;
constexpr int kSettleSteps = 8;  // the configuration reads pass before measuring

struct Run {
  kt::ui::CMonitorDlg* dialog = nullptr;
  kt::ui::win32::Win32WindowHost* host = nullptr;
  kt::ui::win32::WorkbenchWindow* workbench = nullptr;
  std::string mode;
  int seconds = 0;
  bool fill = false;
  int step = 0;
  ULONGLONG startCpu = 0;
  ULONGLONG startWall = 0;
};
Run* run = nullptr;

ULONGLONG CpuTime() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto value = [](FILETIME f) {
    return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  return value(kernel) + value(user);  // 100 ns steps
}

// As many lines as the log keeps: from then on each new line drops the oldest.
void FillLog(kt::ui::win32::WorkbenchWindow& workbench) {
  kt::workbench::TrafficLog& log = workbench.Log();
  for (int n = 0; n < static_cast<int>(kt::workbench::TrafficLog::kCapacity); ++n) {
    kt::modbus::RequestBuffer frame{};
    const int16_t length = kt::modbus::BuildReadRequest(frame, 1, static_cast<uint16_t>(n), 1);
    log.OnFrameSent(std::span<const uint8_t>(frame.data(), static_cast<size_t>(length)));
  }
}

void Finish() {
  Run& r = *run;
  const double cpu = static_cast<double>(CpuTime() - r.startCpu) / 1e4;  // ms
  const double wall = static_cast<double>(GetTickCount64() - r.startWall);
  std::printf("%s cpu %.2f %%\n", r.mode.c_str(), 100.0 * cpu / wall);
  if (r.fill && r.workbench != nullptr) {
    FillLog(*r.workbench);
    r.workbench->ShowTab(kt::ui::win32::WorkbenchTab::Traffic);
    r.workbench->Traffic().Flush();
    UpdateWindow(r.workbench->Handle());
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("%s lines %d peak working set %.1f MiB\n", r.mode.c_str(),
                r.workbench->Traffic().Count(),
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  }
  std::fflush(stdout);
  PostMessageW(r.host->WindowOf(*r.dialog), WM_COMMAND, kt::ui::IDCANCEL, 0);
}

void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
  Run& r = *run;
  HWND main = r.host->WindowOf(*r.dialog);
  if (main == nullptr) return;
  ++r.step;
  if (r.step == 1) {
    SetDlgItemTextW(main, kt::ui::main_ids::kSlaveAddressEdit, L"1");
    SendMessageW(GetDlgItem(main, kt::ui::main_ids::kRunButton), BM_CLICK, 0, 0);
    if (r.workbench == nullptr) return;
    SendMessageW(GetDlgItem(main, kt::ui::main_ids::kWorkbenchButton), BM_CLICK, 0, 0);
    using kt::ui::win32::WorkbenchTab;
    const WorkbenchTab tab = r.mode == "record"   ? WorkbenchTab::Recording
                             : r.mode == "trend"  ? WorkbenchTab::Trend
                             : r.mode == "wiring" ? WorkbenchTab::Wiring
                             : r.mode == "bus"    ? static_cast<WorkbenchTab>(4)
                                                  : WorkbenchTab::Traffic;
    if (r.mode == "full") FillLog(*r.workbench);
    r.workbench->ShowTab(tab);
    if (r.mode == "record") {
      char path[MAX_PATH];
      GetTempPathA(MAX_PATH, path);
      r.workbench->Recording().StartRecording(std::string(path) + "workbench_load_probe.csv");
    }
  } else if (r.step == kSettleSteps) {
    r.startCpu = CpuTime();
    r.startWall = GetTickCount64();
  } else if (r.step == kSettleSteps + r.seconds * 1000 / static_cast<int>(kStepMs)) {
    Finish();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s PORT SECONDS alone|log|full|record|trend|wiring|bus [fill]\n",
                 argv[0]);
    return 2;
  }
  kt::ui::win32::Win32WindowHost host;
  kt::serial::SerialLine port;
  kt::modbus::SteadyClock clock;
  kt::bus::LineScheduler line(port, clock);
  kt::ui::CMonitorDlg dialog(host, line.MainPort(), clock);
  dialog.SetPollTimerWatch([&line](uint32_t periodMs) { line.MainPollTimer(periodMs); });
  dialog.m_portNumber = std::atoi(argv[1]);
  Run r;
  r.dialog = &dialog;
  r.host = &host;
  r.seconds = std::atoi(argv[2]);
  r.mode = argv[3];
  r.fill = argc > 4 && std::strcmp(argv[4], "fill") == 0;
  std::unique_ptr<kt::ui::win32::WorkbenchWindow> workbench;
  if (r.mode != "alone") {
    workbench =
        std::make_unique<kt::ui::win32::WorkbenchWindow>(kt::workbench::SystemRecordFiles());
    workbench->AddBusPanel(line, clock);
    workbench->Attach(dialog, [&] { return host.WindowOf(dialog); });
    r.workbench = workbench.get();
  }
  run = &r;
  const UINT_PTR timer = SetTimer(nullptr, 0, kStepMs, &Step);
  dialog.DoModal();
  KillTimer(nullptr, timer);
  host.DestroyWindow(dialog);
  return 0;
}
