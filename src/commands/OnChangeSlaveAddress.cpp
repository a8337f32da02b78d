// Command 1007: give the meter a new slave address by a broadcast write, then talk to it there.
#include <string>

#include "commands/CAddrDlg.h"
#include "commands/CommandSteps.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {
namespace {

constexpr uint8_t kBroadcastAddress = 0;
constexpr uint16_t kSlaveAddressRegister = 0x0000;

}  // namespace

void CMonitorDlg::OnChangeSlaveAddress() {
  StopPolling();
  CAddrDlg dlg(Host());
  if (dlg.DoModal() != IDOK) return ResumePolling();

  // A broadcast is not answered: the bytes are taken but not searched.
  modbus::BuildWriteSingleRequest(m_requestBuffer, kBroadcastAddress, kSlaveAddressRegister,
                                  dlg.m_newAddress);
  auto params = WriteSingleExchange();
  params.replyLength = modbus::kNoSearch;
  ExchangeWith(*this, kBroadcastAddress, params);

  m_slaveAddress = dlg.m_newAddress;
  SetDlgItemText(1061, std::to_string(m_slaveAddress));
  ResumePolling();
}

}  // namespace kt::ui
