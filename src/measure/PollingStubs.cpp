// Place holders for the polling handlers until each has its own file.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnRunStop() {}
void CMonitorDlg::OnTimer(unsigned) {}
void CMonitorDlg::OnPollTick() {}
void CMonitorDlg::DecodeMeasurementBlock(int16_t) {}
void CMonitorDlg::UpdateStatus(uint8_t, uint8_t) {}

}  // namespace kt::ui
