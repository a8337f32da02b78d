// Place holders for the main dialog's framework entry points until they are written.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

bool CMonitorDlg::OnInitDialog() {
  return Dialog::OnInitDialog();
}
CtlColor CMonitorDlg::OnCtlColor(int controlId, CtlColorType type) {
  return Dialog::OnCtlColor(controlId, type);
}
bool CMonitorDlg::DestroyWindow() {
  return Dialog::DestroyWindow();
}
void CMonitorDlg::DoDataExchange(DataExchange&) {}

}  // namespace kt::ui
