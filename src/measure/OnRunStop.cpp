// The Run button: switches the poll timer on and off, starting the cycle over for another meter.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

void CMonitorDlg::OnRunStop() {
  KillTimer(kProbeTimer);  // ends an address search in progress
  UpdateData(true);        // takes the slave address from its edit; the result is not looked at
  m_running = m_running != 0 ? 0 : 1;
  if (m_running != 0) {
    RestartPollingFor(m_slaveAddress);
    SetTimer(kPollTimer, m_pollPeriodMs);
    SetDlgItemText(main_ids::kRunButton, "停止");
  } else {
    KillTimer(kPollTimer);
    SetDlgItemText(main_ids::kRunButton, "运行");
  }
}

void CMonitorDlg::RestartPollingFor(uint8_t address) {
  if (m_lastPolledAddress >= 0 && m_lastPolledAddress != address) m_pollState = 0;
}

}  // namespace kt::ui
