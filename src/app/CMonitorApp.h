// The application object: start-up through the communication settings to the main dialog.
#pragma once

#include <functional>
#include <utility>
#include "finder/MeterFinder.h"
#include "modbus/Clock.h"
#include "serial/SerialControl.h"

#include "ui/PortListSource.h"
#include "ui/dialog/Dialog.h"
#include "ui/dialog/WindowHost.h"

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::app {

class CMonitorApp {
 public:
  // `portList` is what the communication settings dialog lists; empty: the machine's ports.
  CMonitorApp(ui::WindowHost& host, serial::SerialControl& comm, modbus::Clock& clock,
              ui::PortListSource portList = {})
      : host_(host), comm_(comm), clock_(clock), portList_(std::move(portList)) {}

  // Shows the communication settings dialog (9600 baud, no parity, port 1); on OK shows the
  // main dialog with those settings until it ends. Returns false always: the program then ends.
  bool InitInstance();

  // Called with the main dialog before it is shown, to attach front-end windows that observe it.
  std::function<void(ui::CMonitorDlg&)> onMainDialog;

  // How "自动查找…" opens the lines it sweeps; empty: a serial line of its own per port.
  finder::LineOpener finderOpener;

  // The main dialog while it runs, else nullptr.
  ui::Dialog* m_pMainWnd = nullptr;

 private:
  ui::WindowHost& host_;
  serial::SerialControl& comm_;
  modbus::Clock& clock_;
  ui::PortListSource portList_;
};

}  // namespace kt::app
