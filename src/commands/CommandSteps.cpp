// The shared command steps over the main dialog's serial control and clock.
#include "commands/CommandSteps.h"

namespace kt::ui {

modbus::ExchangeResult Exchange(CMonitorDlg& dlg, const modbus::ExchangeParams& params) {
  return ExchangeWith(dlg, dlg.m_slaveAddress, params);
}

modbus::ExchangeResult ExchangeWith(CMonitorDlg& dlg, uint8_t replyAddress,
                                    const modbus::ExchangeParams& params) {
  const modbus::ExchangeLine line{
      dlg.m_comm, dlg.Clock(), [&dlg](std::span<const uint8_t> frame) { dlg.SendFrame(frame); },
      [&dlg](std::span<const uint8_t> dropped) { dlg.NotifyInputDiscarded(dropped); }};
  const modbus::ExchangeResult result = modbus::BlockingExchange(
      line, dlg.m_requestBuffer, dlg.m_receiveBuffer, replyAddress, params);
  if (params.replyLength != modbus::kNoSearch) {
    dlg.NotifyReadTaken(ReadSource::Command, result.received, replyAddress, params.replyFunction,
                        params.replyLength);
  }
  return result;
}

void DiscardInput(CMonitorDlg& dlg) {
  dlg.DiscardPendingInput();
}

}  // namespace kt::ui
