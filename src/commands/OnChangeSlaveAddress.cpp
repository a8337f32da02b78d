// The change slave address button: give the meter a new slave address by a broadcast write, then
// talk to it there.
#include <string>

#include "commands/CAddrDlg.h"
#include "commands/CommandSteps.h"
#include "modbus/FrameFields.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

void CMonitorDlg::OnChangeSlaveAddress() {
  StopPolling();
  CAddrDlg dlg(Host());
  if (dlg.DoModal() != IDOK) return ResumePolling();

  LetLineFallQuiet(*this);
  // A broadcast is not answered: the bytes are taken but not searched.
  modbus::BuildWriteSingleRequest(m_requestBuffer, modbus::kBroadcastAddress,
                                  modbus::meter_registers::kSlaveAddressWrite.start,
                                  dlg.m_newAddress);
  auto params = WriteSingleExchange();
  params.replyLength = modbus::kNoSearch;
  ExchangeWith(*this, modbus::kBroadcastAddress, params);

  // Every meter on the line took the new address: the poll cycle reads the configuration there
  // before it decodes a block. The values read belong to the meter under its new name.
  if (m_parametersReadFrom == m_slaveAddress) m_parametersReadFrom = dlg.m_newAddress;
  m_slaveAddress = dlg.m_newAddress;
  SetDlgItemText(main_ids::kSlaveAddressEdit, std::to_string(m_slaveAddress));
  ResumePolling();
}

}  // namespace kt::ui
