// The main dialog's port lent to the finder: "自动查找…" sweeps the port the monitor holds.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

bool CMonitorDlg::LendPortToFinder(int32_t portNumber) {
  if (portNumber != m_portNumber || !m_comm.GetPortOpen()) return false;
  try {
    m_comm.SetPortOpen(false);
  } catch (const serial::SerialError&) {
    return false;  // still held: the finder meets the refusal as any program would
  }
  m_portLentToFinder = true;
  return true;
}

void CMonitorDlg::TakeBackPortFromFinder() {
  if (!m_portLentToFinder) return;
  m_portLentToFinder = false;
  // Opened again as at the start: a refusal (another program took it meanwhile) is reported
  // once and the port tried again every second.
  try {
    OpenSelectedPort();
  } catch (const serial::SerialError& refusal) {
    OnStartRefused(refusal);
  }
}

}  // namespace kt::ui
