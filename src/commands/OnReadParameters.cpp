// The read parameters command: read the meter's four parameter registers.
#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {

void CMonitorDlg::OnReadParameters() {
  StopPolling();
  constexpr modbus::RegisterBlock kParameters = modbus::meter_registers::kParametersRead;
  modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, kParameters.start, kParameters.count);
  if (!Exchange(*this, ReadExchange(kParameters.count, modbus::kParameterReadWaitMs)).found()) {
    AfxMessageBox("读取不成功");
  }
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
