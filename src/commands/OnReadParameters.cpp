// The read parameters command: read the meter's four parameter registers.
#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {

void CMonitorDlg::OnReadParameters() {
  StopPolling();
  if (!BeginAddressedCommand(*this)) return;
  constexpr modbus::RegisterBlock kParameters = modbus::meter_registers::kParametersRead;
  modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, kParameters.start, kParameters.count);
  const StepReply reply =
      Exchange(*this, ReadExchange(kParameters.count, modbus::kParameterReadWaitMs));
  if (!reply.found() && !reply.lineFailed) {
    AfxMessageBox("读取不成功");
  }
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
