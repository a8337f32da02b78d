// A meter chosen elsewhere (the bus tab) becomes the dialog's meter the way the finder's "使用"
// hands one over: the slave address and its edit; the poll tick then reads its configuration
// first (StartOverForAnotherMeter).
#include <string>

#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

void CMonitorDlg::UseMeter(uint8_t address) {
  m_slaveAddress = address;
  SetDlgItemText(main_ids::kSlaveAddressEdit, std::to_string(m_slaveAddress));
  if (m_running == 0) OnRunStop();
}

}  // namespace kt::ui
