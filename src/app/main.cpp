// The kt7340 program: the monitor's dialogs in Qt windows on the PC's serial ports.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/CMonitorApp.h"
#include "app/CommandLine.h"
#include "modbus/Clock.h"
#include "serial/SerialLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/qt/MonitorIcon.h"
#include "ui/qt/QtTranslations.h"
#include "ui/qt/QtWindowHost.h"
#include "ui/qt/workbench/RecordingTab.h"
#include "ui/qt/workbench/WorkbenchWindow.h"

int main(int argc, char** argv) {
  // The options are read before any window exists, so they work without a display. Only the
  // program name reaches Qt.
  const kt::app::CommandLine line =
      kt::app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (line.action != kt::app::CommandLineAction::RunMonitor) {
    std::string out;
    std::string err;
    const int status = kt::app::RunWithoutWindow(line, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
  }
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("KT7340"));
  QApplication::setWindowIcon(kt::ui::qt::MonitorIcon());
  // Qt's file dialogs and context menus speak the user's language (Chinese on a Chinese desktop).
  kt::ui::qt::InstallQtTranslations(app, QLocale::system());
  // Windows stay until the application object is done with them; the last one closing must not
  // end the program early.
  QApplication::setQuitOnLastWindowClosed(false);

  kt::ui::qt::QtWindowHost host;
  kt::serial::SerialLine port;
  kt::modbus::SteadyClock clock;
  kt::app::CMonitorApp theApp(host, port, clock);
  // The workbench observes the main dialog from its start, so its log holds every frame even
  // when it is opened later. KT7340_OPEN_WORKBENCH=1 opens it with the main dialog, and
  // KT7340_RECORD=FILE starts recording to FILE then (for unattended runs), after what it holds.
  kt::ui::qt::WorkbenchWindow workbench;
  const char* openWorkbench = std::getenv("KT7340_OPEN_WORKBENCH");
  const bool openAtStart = openWorkbench != nullptr && std::strcmp(openWorkbench, "1") == 0;
  // The file name is kept as the bytes the environment holds, whatever their encoding.
  const char* recordTo = std::getenv("KT7340_RECORD");
  const std::string recordPath = recordTo != nullptr ? recordTo : "";
  // Once the main dialog's loop runs, so that the window can stand beside it.
  QTimer startUp;
  startUp.setSingleShot(true);
  QObject::connect(&startUp, &QTimer::timeout, &workbench, [&workbench, openAtStart, recordPath] {
    if (!recordPath.empty()) workbench.Recording().ContinueRecording(recordPath);
    if (openAtStart) workbench.ShowBeside();
  });
  theApp.onMainDialog = [&workbench, &startUp, &port](kt::ui::CMonitorDlg& dialog) {
    dialog.m_portDeviceName = [&port] { return port.DeviceName(); };
    workbench.Attach(dialog);
    startUp.start(0);
  };
  theApp.InitInstance();
  return 0;
}
