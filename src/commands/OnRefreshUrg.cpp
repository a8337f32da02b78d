// The refresh Urg button: read the power multiplier register at once and set the power multiplier
// from it.
#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {

void CMonitorDlg::OnRefreshUrg() {
  StopPolling();
  if (!BeginAddressedCommand(*this)) return;
  constexpr modbus::RegisterBlock kMultiplier = modbus::meter_registers::kPowerMultiplierRead;
  modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, kMultiplier.start, kMultiplier.count);
  const auto reply =
      Exchange(*this, ReadExchange(kMultiplier.count, modbus::kMultiplierReadWaitMs));
  if (reply.found()) {
    // Only the low byte of the register value counts, as in the polling cycle.
    m_powerMultiplier = m_receiveBuffer[reply.position + 4] != 0 ? 4 : 1;
  } else if (!reply.lineFailed) {
    AfxMessageBox("读取不成功");
  }
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
