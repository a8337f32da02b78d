// The start of both window programs, kt7340 (Qt) and kt7340.exe (Win32), without a toolkit: the
// options that print, what the environment asks for, and the main dialog with the workbench.
// Each program supplies its window host, port and workbench window; the rest happens here once.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CMonitorApp.h"

namespace kt::bus {
class LineScheduler;
}  // namespace kt::bus

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::app {

// The options that need no window (--help, --list-ports, --find, ...): carried out, printed to
// stdout and stderr, and their exit status returned; nothing when the windows are to start.
// `beforePrinting` readies the output first (a GUI program on Windows attaches to its console).
std::optional<int> RunConsoleOptions(const std::vector<std::string>& args,
                                     const std::function<void()>& beforePrinting = {});

// What the environment asks of the start.
struct StartUpRequests {
  bool openWorkbench = false;  // KT7340_OPEN_WORKBENCH=1: the workbench opens with the main dialog
  std::string recordPath;      // KT7340_RECORD=FILE: recording to FILE from the start
};
// `lookUp` gives a variable's value, or nothing when it is not set (EnvironmentValue).
using EnvironmentLookUp = std::function<std::optional<std::string>(const char* name)>;
StartUpRequests ReadStartUpRequests(const EnvironmentLookUp& lookUp);

// Asked, Yes or No, before the main dialog ends while a recording runs.
inline constexpr const char* kRecordingExitQuestion = "正在记录，退出将停止记录。确定退出？";

// A front end's workbench window, as the start-up uses it.
class StartUpWorkbench {
 public:
  StartUpWorkbench() = default;
  StartUpWorkbench(const StartUpWorkbench&) = delete;
  StartUpWorkbench& operator=(const StartUpWorkbench&) = delete;
  StartUpWorkbench(StartUpWorkbench&&) = delete;
  StartUpWorkbench& operator=(StartUpWorkbench&&) = delete;
  virtual ~StartUpWorkbench() = default;

  // Observes the main dialog from its start and lets its button open the window.
  virtual void Attach(ui::CMonitorDlg& dialog) = 0;
  // Runs `job` once from the main dialog's message loop, when its window is up.
  virtual void WhenMainDialogRuns(std::function<void()> job) = 0;
  virtual void ShowBeside() = 0;
  // Starts recording to `path` in the recording tab (CsvRecorder::Start: nothing is emptied).
  virtual void StartRecording(const std::string& path) = 0;
  virtual bool Recording() const = 0;
};

// The windows of the monitor: the communication settings, then the main dialog with `workbench`
// attached, the port's device named by `portDevice`, `requests` carried out once the dialog
// runs, and the question kRecordingExitQuestion on every way out while a recording runs.
// Returns when the main dialog has ended or the settings were cancelled. With `line` (the
// schedule the main dialog's port goes through) the main dialog tells it of its poll timer.
void RunMonitorWindows(CMonitorApp& app, StartUpWorkbench& workbench,
                       const StartUpRequests& requests, std::function<std::string()> portDevice,
                       bus::LineScheduler* line = nullptr);

}  // namespace kt::app
