// The shared command steps over the main dialog's serial control and clock.
#include "commands/CommandSteps.h"

#include "modbus/SerialInput.h"
#include "serial/SerialError.h"

namespace kt::ui {

modbus::ExchangeResult Exchange(CMonitorDlg& dlg, const modbus::ExchangeParams& params) {
  return ExchangeWith(dlg, dlg.m_slaveAddress, params);
}

modbus::ExchangeResult ExchangeWith(CMonitorDlg& dlg, uint8_t replyAddress,
                                    const modbus::ExchangeParams& params) {
  const modbus::ExchangeLine line{
      dlg.m_comm, dlg.Clock(),
      [&dlg](const uint8_t* bytes, int16_t count) { dlg.SendFrame(bytes, count); }};
  return modbus::BlockingExchange(line, dlg.m_requestBuffer, dlg.m_receiveBuffer, replyAddress,
                                  params);
}

void DiscardInput(CMonitorDlg& dlg) {
  modbus::DiscardPendingInput(dlg.m_comm);
}

void RunCommand(CMonitorDlg& dlg, const std::function<void()>& steps) {
  try {
    steps();
  } catch (const serial::SerialError& error) {
    dlg.ReportSerialRefusal(error);
    try {
      DiscardInput(dlg);
    } catch (const serial::SerialError&) {
      // The port that just failed may fail again; polling resumes all the same.
    }
    dlg.ResumePolling();
  }
}

}  // namespace kt::ui
