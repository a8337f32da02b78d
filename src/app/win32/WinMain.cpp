// kt7340.exe: the monitor's dialogs in Win32 dialog windows on the PC's COM ports.
#include <cstdio>
#include <string>
#include <vector>

#include "app/CMonitorApp.h"
#include "app/CommandLine.h"
#include "app/win32/ParentConsole.h"
#include "app/win32/ResourceIds.h"
#include "modbus/Clock.h"
#include "serial/SerialLine.h"
#include "serial/win32/WideText.h"
#include "ui/CMonitorDlg.h"
#include "ui/win32/Win32WindowHost.h"
#include "ui/win32/WindowsApi.h"
#include "ui/win32/workbench/WorkbenchWindow.h"

namespace {

// The arguments after the program name, in UTF-8.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    args.push_back(kt::serial::win32::Utf8FromWide(wide[i]));
  }
  if (wide != nullptr) LocalFree(wide);
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The options are read before any window exists; what they print goes to the console the
  // program was started from.
  const kt::app::CommandLine line = kt::app::ParseCommandLine(Arguments());
  if (line.action != kt::app::CommandLineAction::RunMonitor) {
    kt::app::win32::UseParentConsole();
    std::string out;
    std::string err;
    const int status = kt::app::RunWithoutWindow(line, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
  }

  auto* icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KT7340_ICON), IMAGE_ICON, 0,
                                             0, LR_DEFAULTSIZE | LR_SHARED));
  kt::ui::win32::Win32WindowHost host(icon);
  kt::serial::SerialLine port;
  kt::modbus::SteadyClock clock;
  kt::app::CMonitorApp theApp(host, port, clock);
  // The workbench observes the main dialog from its start, so its log holds every frame.
  kt::ui::win32::WorkbenchWindow workbench(kt::workbench::SystemRecordFiles());
  theApp.onMainDialog = [&port, &host, &workbench](kt::ui::CMonitorDlg& dialog) {
    dialog.m_portDeviceName = [&port] { return port.DeviceName(); };
    workbench.Attach(dialog, [&host, &dialog] { return host.WindowOf(dialog); });
  };
  theApp.InitInstance();
  return 0;
}
