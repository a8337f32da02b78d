// The Windows workbench shown on its page "总线" over the simulated line of meters 3 and 17, the
// port's bus list emptied first (tests in the same wine prefix leave theirs in the registry).
#pragma once

#include "../bus/BusOnLine.h"
#include "bus/BusTabModel.h"
#include "win32/workbench/BusPanel.h"
#include "win32/workbench/RegistrySettings.h"
#include "win32/workbench/WorkbenchWindow.h"
#include "workbench/RecordFile.h"

namespace kt::testing {

struct BusPageOnLine {
  BusPageOnLine() {
    window.AddBusPanel(*line.scheduler, line.h.clock);
    window.Attach(*line.h.dialog, [] { return HWND{}; });
    window.ShowTab(static_cast<workbench::WorkbenchTab>(4));
    ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
  }
  HWND Page() { return window.Bus()->Handle(); }

  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 120)}};
  bool listEmptied = [this] {
    ui::win32::RegistrySettings().SetText(bus::BusListKey(line.h.dialog->PortNumber()), "");
    return true;
  }();
  ui::win32::WorkbenchWindow window{workbench::SystemRecordFiles()};
};

}  // namespace kt::testing
