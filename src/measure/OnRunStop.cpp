// The Run button: switches the poll timer on and off.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnRunStop() {
  KillTimer(kProbeTimer);  // ends an address search in progress
  UpdateData(true);        // takes the slave address from edit 1061; the result is not looked at
  m_running = m_running != 0 ? 0 : 1;
  if (m_running != 0) {
    SetTimer(kPollTimer, m_pollPeriodMs);
    SetDlgItemText(1063, "停止");
  } else {
    KillTimer(kPollTimer);
    SetDlgItemText(1063, "运行");
  }
}

}  // namespace kt::ui
