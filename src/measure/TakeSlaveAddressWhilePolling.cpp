// Reading the slave address edit back at every poll tick, when its text changed.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

void CMonitorDlg::TakeSlaveAddressWhilePolling() {
  // Only a text typed since the edit was last taken: a tick every poll period would otherwise
  // prompt again and again for one mistyped text, and the address a configuration reply named
  // would give way to the edit at once.
  if (GetDlgItemText(main_ids::kSlaveAddressEdit) == m_addressTextSeen) return;
  UpdateData(true);  // a bad text keeps the address polled and prompts once
}

}  // namespace kt::ui
