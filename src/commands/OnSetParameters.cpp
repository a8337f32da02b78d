// The set parameters command: write the four parameter values last read back to the meter.
#include <cstdint>

#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {
namespace {

// Poll state 1 puts the four values in the register image and the cycle leaves it for state 2;
// it never goes back to states 0 or 1, so nothing overwrites them afterwards.
bool ParameterValuesRead(const CMonitorDlg& dlg) {
  return dlg.m_pollState >= 2;
}

uint16_t ImageRegister(const CMonitorDlg& dlg, int index) {
  const auto high = static_cast<size_t>(index) * 2;
  return static_cast<uint16_t>(dlg.m_registerImage[high] << 8 | dlg.m_registerImage[high + 1]);
}

}  // namespace

void CMonitorDlg::OnSetParameters() {
  StopPolling();
  // Without values read from the meter there is nothing sound to write.
  const bool valuesRead = ParameterValuesRead(*this);
  if (!BeginAddressedCommand(*this, valuesRead ? QuietLineFirst::Wait : QuietLineFirst::Skip)) {
    return;
  }
  bool acknowledged = false;
  if (valuesRead) {
    const int16_t length = modbus::BuildWriteMultipleRequest(
        m_requestBuffer, m_slaveAddress, modbus::meter_registers::kParametersWrite.start,
        {ImageRegister(*this, 0), ImageRegister(*this, 1), ImageRegister(*this, 2),
         ImageRegister(*this, 3)});
    acknowledged = Exchange(*this, WriteMultipleExchange(length)).found();
  }
  if (!acknowledged && !m_commandLineFailed) AfxMessageBox("设置不成功");
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
