// Every way out of the main dialog: the poll timer stops and the port closes first.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

bool CMonitorDlg::DestroyWindow() {
  StopPolling();
  KillTimer(kReopenTimer);
  try {
    m_comm.SetPortOpen(false);
  } catch (const serial::SerialError& refusal) {
    ReportSerialRefusal(refusal);  // the window still goes
  }
  *m_windowUp = nullptr;
  return Dialog::DestroyWindow();
}

}  // namespace kt::ui
