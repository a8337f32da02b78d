// The slave address dialog's data exchange; Cancel is the dialog base's.
#include "commands/CAddrDlg.h"
#include "commands/AddrDialogIds.h"

#include "commands/AddrDialogTemplate.h"
#include "modbus/FrameFields.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

CAddrDlg::CAddrDlg(WindowHost& host) : Dialog(host, AddrDialogTemplate()) {}

bool CAddrDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  FocusAndSelect(addr_ids::kNewAddressEdit);
  return false;  // the focus is set
}

void CAddrDlg::DoDataExchange(DataExchange& dx) {
  if (!dx.saveAndValidate()) {
    DDX_Text(dx, addr_ids::kNewAddressEdit, m_newAddress);
    return;
  }
  // The broadcast address would silence every meter on the line for good, and the reserved
  // ones are no meter's: one message for anything but 1..247, the field as it was.
  unsigned long long value = 0;
  if (!ParseUnsigned(GetDlgItemText(addr_ids::kNewAddressEdit), modbus::kLastSlaveAddress, value) ||
      value < modbus::kFirstSlaveAddress) {
    dx.Fail(kSlaveAddressRangePrompt);
  }
  m_newAddress = static_cast<uint8_t>(value);
}

void CAddrDlg::OnOK() {
  if (UpdateData(true)) return EndDialog(IDOK);
  FocusAndSelect(addr_ids::kNewAddressEdit);
}

}  // namespace kt::ui
