// The set parameters command: write the four parameter values last read back to the meter.
#include <cstdint>
#include <string>

#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {
namespace {

// Poll state 1 puts the four values in the register image and the cycle leaves it for state 2;
// only a start over for another meter goes back to state 0, whose reply overwrites them.
bool ParameterValuesRead(const CMonitorDlg& dlg) {
  return dlg.m_pollState >= 2;
}

uint16_t ImageRegister(const CMonitorDlg& dlg, int index) {
  const auto high = static_cast<size_t>(index) * 2;
  return static_cast<uint16_t>(dlg.m_registerImage[high] << 8 | dlg.m_registerImage[high + 1]);
}

std::string OtherMeterRefusal(int32_t readFrom, uint8_t typed) {
  const std::string to = std::to_string(typed);
  return "参数值读自子机地址 " + std::to_string(readFrom) + "，不写入子机地址 " + to +
         "：请先以子机地址 " + to + " 运行，读取该仪表的参数值后再设置。";
}

}  // namespace

void CMonitorDlg::OnSetParameters() {
  StopPolling();
  // Without values read from the meter there is nothing sound to write.
  const bool valuesRead = ParameterValuesRead(*this);
  if (!BeginAddressedCommand(*this, valuesRead ? QuietLineFirst::Wait : QuietLineFirst::Skip)) {
    return;
  }
  // The values belong to the meter they were read from; another meter is not given them.
  if (valuesRead && m_parametersReadFrom != m_slaveAddress) {
    AfxMessageBox(OtherMeterRefusal(m_parametersReadFrom, m_slaveAddress));
    DiscardInput(*this);
    return ResumePolling();
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
