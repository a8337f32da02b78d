// The kt7340 program: the monitor's dialogs in Qt windows on the PC's serial ports.
#include <QApplication>

#include "app/CMonitorApp.h"
#include "modbus/Clock.h"
#include "serial/PosixSerialPort.h"
#include "ui/qt/MonitorIcon.h"
#include "ui/qt/QtWindowHost.h"

int main(int argc, char** argv) {
  // Only the program name reaches Qt: the program has no command-line options.
  (void)argc;
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("KT7340"));
  QApplication::setWindowIcon(kt::ui::qt::MonitorIcon());
  // Windows stay until the application object is done with them; the last one closing must not
  // end the program early.
  QApplication::setQuitOnLastWindowClosed(false);

  kt::ui::qt::QtWindowHost host;
  kt::serial::PosixSerialPort port;
  kt::modbus::SteadyClock clock;
  kt::app::CMonitorApp theApp(host, port, clock);
  theApp.InitInstance();
  return 0;
}
