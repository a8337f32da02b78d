// The slave address dialog's data exchange; OK and Cancel are the dialog base's.
#include "commands/CAddrDlg.h"

#include "commands/AddrDialogTemplate.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

CAddrDlg::CAddrDlg(WindowHost& host) : Dialog(host, AddrDialogTemplate()) {}

void CAddrDlg::DoDataExchange(DataExchange& dx) {
  DDX_Text(dx, 1000, m_newAddress);
  DDV_MinMaxByte(dx, m_newAddress, 0, 255);
}

}  // namespace kt::ui
