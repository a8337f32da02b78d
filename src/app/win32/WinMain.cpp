// kt7340.exe: the monitor's dialogs in Win32 dialog windows on the PC's COM ports.
#include <string>
#include <vector>

#include "app/CMonitorApp.h"
#include "app/Environment.h"
#include "app/StartUp.h"
#include "app/win32/ParentConsole.h"
#include "app/win32/ResourceIds.h"
#include "app/win32/Win32StartUpWorkbench.h"
#include "bus/LineScheduler.h"
#include "modbus/Clock.h"
#include "platform/win32/WideText.h"
#include "serial/SerialLine.h"
#include "win32/Win32WindowHost.h"
#include "win32/WindowsApi.h"
#include "win32/workbench/WorkbenchWindow.h"

namespace {

// The arguments after the program name, in UTF-8.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    args.push_back(kt::platform::win32::Utf8FromWide(wide[i]));
  }
  if (wide != nullptr) LocalFree(wide);
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The options are read before any window exists; what they print goes to the console the
  // program was started from.
  if (const auto status =
          kt::app::RunConsoleOptions(Arguments(), kt::app::win32::UseParentConsole)) {
    return *status;
  }
  auto* icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KT7340_ICON), IMAGE_ICON, 0,
                                             0, LR_DEFAULTSIZE | LR_SHARED));
  kt::ui::win32::Win32WindowHost host(icon);
  kt::serial::SerialLine port;
  kt::modbus::SteadyClock clock;
  // The main dialog's port goes through the line's schedule, which a bus poller may share.
  kt::bus::LineScheduler line(port, clock);
  kt::app::CMonitorApp theApp(host, line.MainPort(), clock);
  kt::ui::win32::WorkbenchWindow window(kt::workbench::SystemRecordFiles());
  window.AddBusPanel(line, clock);
  kt::app::win32::Win32StartUpWorkbench workbench(window, host);
  kt::app::RunMonitorWindows(
      theApp, workbench, kt::app::ReadStartUpRequests(kt::app::EnvironmentValue),
      [&port] { return port.DeviceName(); }, &line);
  return 0;
}
