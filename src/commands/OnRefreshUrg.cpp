// Command 1091: read register 0x030A at once and set the power multiplier from it.
#include "commands/CommandSteps.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {

void CMonitorDlg::OnRefreshUrg() {
  StopPolling();
  modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, 0x030A, 1);
  const auto reply = Exchange(*this, ReadExchange(1, modbus::kMultiplierReadWaitMs));
  if (reply.found()) {
    // Only the low byte of the register value counts, as in the polling cycle.
    m_powerMultiplier = m_receiveBuffer[reply.position + 4] != 0 ? 4 : 1;
  } else {
    AfxMessageBox("读取不成功");
  }
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
