// The one start-up of both window programs.
#include "app/StartUp.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "bus/LineScheduler.h"
#include "ui/CMonitorDlg.h"

namespace kt::app {

std::optional<int> RunConsoleOptions(const std::vector<std::string>& args,
                                     const std::function<void()>& beforePrinting) {
  const CommandLine line = ParseCommandLine(args);
  if (line.action == CommandLineAction::RunMonitor) return std::nullopt;
  if (beforePrinting) beforePrinting();
  std::string out;
  std::string err;
  const int status = RunWithoutWindow(line, out, err);
  std::fputs(out.c_str(), stdout);
  std::fputs(err.c_str(), stderr);
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}

StartUpRequests ReadStartUpRequests(const EnvironmentLookUp& lookUp) {
  StartUpRequests requests;
  requests.openWorkbench = lookUp("KT7340_OPEN_WORKBENCH") == "1";
  // The file name is kept as the system gives it, whatever its encoding.
  requests.recordPath = lookUp("KT7340_RECORD").value_or("");
  return requests;
}

void RunMonitorWindows(CMonitorApp& app, StartUpWorkbench& workbench,
                       const StartUpRequests& requests, std::function<std::string()> portDevice,
                       bus::LineScheduler* line) {
  app.onMainDialog = [&workbench, requests, portDevice = std::move(portDevice),
                      line](ui::CMonitorDlg& dialog) {
    dialog.SetPortDeviceName(portDevice);
    if (line != nullptr) {
      dialog.SetPollTimerWatch([line](uint32_t periodMs) { line->MainPollTimer(periodMs); });
    }
    dialog.SetExitQuestion(
        [&workbench] { return std::string(workbench.Recording() ? kRecordingExitQuestion : ""); });
    // The workbench observes the main dialog from its start, so its log holds every frame even
    // when it is opened later.
    workbench.Attach(dialog);
    if (requests.recordPath.empty() && !requests.openWorkbench) return;
    // Once the main dialog is up, so that the window can stand beside it.
    workbench.WhenMainDialogRuns([&workbench, requests] {
      if (!requests.recordPath.empty()) workbench.StartRecording(requests.recordPath);
      if (requests.openWorkbench) workbench.ShowBeside();
    });
  };
  app.InitInstance();
  app.onMainDialog = nullptr;
}

}  // namespace kt::app
