// The Run button: switches the poll timer on and off.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

void CMonitorDlg::OnRunStop() {
  KillTimer(kProbeTimer);  // ends an address search in progress
  UpdateData(true);        // takes the slave address from its edit; the result is not looked at
  m_running = m_running != 0 ? 0 : 1;
  if (m_running != 0) {
    ResumePolling();
    SetDlgItemText(main_ids::kRunButton, "停止");
  } else {
    StopPolling();
    SetDlgItemText(main_ids::kRunButton, "运行");
  }
}

}  // namespace kt::ui
