// The main dialog's data exchange: the slave address in edit 1061.
#include "ui/CMonitorDlg.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

void CMonitorDlg::DoDataExchange(DataExchange& dx) {
  // The Run button (1063) and the serial control (1008) are reached by identifier and through
  // m_comm, so they need no binding here.
  DDX_Text(dx, 1061, m_slaveAddress);
  DDV_MinMaxByte(dx, m_slaveAddress, 0, 255);
}

}  // namespace kt::ui
