// The main dialog's data exchange: the slave address in its edit.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

void CMonitorDlg::DoDataExchange(DataExchange& dx) {
  // The Run button and the serial control are reached by identifier and through
  // m_comm, so they need no binding here.
  if (dx.saveAndValidate()) m_addressTextSeen = GetDlgItemText(main_ids::kSlaveAddressEdit);
  DDX_Text(dx, main_ids::kSlaveAddressEdit, m_slaveAddress);
  DDV_MinMaxByte(dx, m_slaveAddress, 0, 255);
  if (!dx.saveAndValidate()) m_addressTextSeen = GetDlgItemText(main_ids::kSlaveAddressEdit);
}

}  // namespace kt::ui
