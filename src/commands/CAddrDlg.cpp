// The slave address dialog's data exchange; OK and Cancel are the dialog base's.
#include "commands/CAddrDlg.h"
#include "commands/AddrDialogIds.h"

#include "commands/AddrDialogTemplate.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

CAddrDlg::CAddrDlg(WindowHost& host) : Dialog(host, AddrDialogTemplate()) {}

void CAddrDlg::DoDataExchange(DataExchange& dx) {
  DDX_Text(dx, addr_ids::kNewAddressEdit, m_newAddress);
  DDV_MinMaxByte(dx, m_newAddress, 0, 255);
}

}  // namespace kt::ui
