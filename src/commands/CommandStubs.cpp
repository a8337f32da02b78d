// Place holders for the command handlers until each has its own file; a stub does nothing.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnCommSettings() {}
void CMonitorDlg::OnMeterSettings() {}
void CMonitorDlg::OnChangeSlaveAddress() {}
void CMonitorDlg::OnModifyPrecision() {}
void CMonitorDlg::OnPollAddress() {}
void CMonitorDlg::OnProbeTick() {}
void CMonitorDlg::ProbeAddress(int32_t) {}
void CMonitorDlg::OnReadParameters() {}
void CMonitorDlg::OnRefreshUrg() {}
void CMonitorDlg::OnSetParameters() {}

}  // namespace kt::ui
