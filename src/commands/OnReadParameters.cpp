// Command 1071: read the meter's four parameter registers 0x0328 to 0x032B.
#include "commands/CommandSteps.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {

void CMonitorDlg::OnReadParameters() {
  StopPolling();
  modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, 0x0328, 4);
  if (!Exchange(*this, ReadExchange(4, modbus::kParameterReadWaitMs)).found()) {
    AfxMessageBox("读取不成功");
  }
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
