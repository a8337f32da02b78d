// The shared command steps over the main dialog's serial control and clock.
#include "commands/CommandSteps.h"

#include "modbus/SerialInput.h"

namespace kt::ui {

modbus::ExchangeResult Exchange(CMonitorDlg& dlg, const modbus::ExchangeParams& params) {
  return ExchangeWith(dlg, dlg.m_slaveAddress, params);
}

modbus::ExchangeResult ExchangeWith(CMonitorDlg& dlg, uint8_t replyAddress,
                                    const modbus::ExchangeParams& params) {
  const modbus::ExchangeLine line{dlg.m_comm, dlg.Clock(),
                                  [&dlg](std::span<const uint8_t> frame) { dlg.SendFrame(frame); }};
  return modbus::BlockingExchange(line, dlg.m_requestBuffer, dlg.m_receiveBuffer, replyAddress,
                                  params);
}

void DiscardInput(CMonitorDlg& dlg) {
  modbus::DiscardPendingInput(dlg.m_comm);
}

}  // namespace kt::ui
