// The meter settings button: write PT ratio, CT ratio and wiring mode to the meter from the meter
// settings dialog, reading the parameter registers back after each ratio.
#include <cstdint>

#include "commands/CMeterSetDlg.h"
#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {
namespace {

namespace regs = modbus::meter_registers;

// Writes the ratio into its register pair (the second register always 0); true when answered.
bool WriteRatio(CMonitorDlg& dlg, modbus::RegisterBlock ratioRegisters, uint32_t ratio) {
  const int16_t length = modbus::BuildWriteMultipleRequest(
      dlg.m_requestBuffer, dlg.m_slaveAddress, ratioRegisters.start,
      {static_cast<uint16_t>(ratio & 0xFFFF), 0x0000});
  return Exchange(dlg, WriteMultipleExchange(length)).found();
}

// Reads the parameter registers back; a missing answer is reported and the command goes on.
void ReadBackParameters(CMonitorDlg& dlg) {
  modbus::BuildReadRequest(dlg.m_requestBuffer, dlg.m_slaveAddress, regs::kParametersRead.start,
                           regs::kParametersRead.count);
  if (!Exchange(dlg, ReadExchange(regs::kParametersRead.count, modbus::kParameterReadWaitMs))
           .found() &&
      !dlg.m_commandLineFailed) {
    dlg.AfxMessageBox("读取更新后参数不成功");
  }
  DiscardInput(dlg);
}

bool WriteWiring(CMonitorDlg& dlg, uint8_t wiringCode) {
  modbus::BuildWriteSingleRequest(dlg.m_requestBuffer, dlg.m_slaveAddress, regs::kWiringWrite.start,
                                  wiringCode);
  return Exchange(dlg, WriteSingleExchange()).found();
}

// Ends the command: the message (if any), then discard pending input and resume polling. After a
// serial failure (already reported) no message follows.
void Finish(CMonitorDlg& dlg, const char* message) {
  if (message != nullptr && !dlg.m_commandLineFailed) dlg.AfxMessageBox(message);
  DiscardInput(dlg);
  dlg.ResumePolling();
}

}  // namespace

void CMonitorDlg::OnMeterSettings() {
  CMeterSetDlg dlg(Host());
  dlg.m_pt = m_ptRatio;
  dlg.m_ct = m_ctRatio;
  dlg.m_wiringCode = m_wiringMode;
  StopPolling();
  if (dlg.DoModal() != IDOK) return Finish(*this, nullptr);
  if (!BeginAddressedCommand(*this)) return;

  // A value is taken only once the meter has acknowledged its write.
  if (!WriteRatio(*this, regs::kPtRatioWrite, dlg.m_pt)) return Finish(*this, "设置PT不成功");
  m_ptRatio = dlg.m_pt;
  ReadBackParameters(*this);

  if (!WriteRatio(*this, regs::kCtRatioWrite, dlg.m_ct)) return Finish(*this, "设置CT不成功");
  m_ctRatio = dlg.m_ct;
  ReadBackParameters(*this);

  if (!WriteWiring(*this, dlg.m_wiringCode)) return Finish(*this, "设置接线方式不成功");
  m_wiringMode = dlg.m_wiringCode;
  Finish(*this, "设置仪表参数成功");
}

}  // namespace kt::ui
