// One probe of the address search: read register 0x0300 at the address and see who answers.
#include <string>

#include "commands/CommandSteps.h"
#include "modbus/FindFrame.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialError.h"
#include "ui/LineSettingsText.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {
namespace {

constexpr uint16_t kProbeRegister = 0x0300;
constexpr uint8_t kExceptionFlag = 0x80;
constexpr int16_t kExceptionReplyLength = 5;

// Only a whole reply from the probed address counts, the register or an exception; a stray
// byte or noise must not end the search at a wrong address.
bool ProbeAnswered(const CMonitorDlg& dlg, int16_t received, uint8_t address) {
  const uint8_t* bytes = dlg.m_receiveBuffer.data();
  return modbus::FindFrame(bytes, received, modbus::kReadHoldingRegisters, address,
                           modbus::ReadReplyLength(1)) >= 0 ||
         modbus::FindFrame(bytes, received, modbus::kReadHoldingRegisters | kExceptionFlag, address,
                           kExceptionReplyLength) >= 0;
}

}  // namespace

void CMonitorDlg::TakeSlaveAddressForProbe() {
  // The same test the data exchange of edit 1061 makes; its prompt is modal and probe ticks go
  // on meanwhile, so a bad entry is prompted once a search and otherwise left as it is.
  unsigned long long value = 0;
  if (!ParseUnsigned(GetDlgItemText(1061), 255, value)) {
    if (m_badEntryReportedInSearch) return;
    m_badEntryReportedInSearch = true;
  }
  UpdateData(true);
}

void CMonitorDlg::ProbeAddress(int32_t address) {
  const uint32_t hitsBefore = m_probeHits;
  TakeSlaveAddressForProbe();
  if (m_probeHits != hitsBefore) return;  // a probe run during the prompt found the meter

  const auto wireAddress = static_cast<uint8_t>(address);
  try {
    modbus::BuildReadRequest(m_requestBuffer, wireAddress, kProbeRegister, 1);
    const modbus::ExchangeParams probe{8, modbus::kReadHoldingRegisters, modbus::kNoSearch,
                                       modbus::kWriteWaitMs, modbus::DiscardInput::BeforeSending};
    const auto result = ExchangeWith(*this, wireAddress, probe);
    if (!ProbeAnswered(*this, result.received, wireAddress)) return;
  } catch (const serial::SerialError& error) {
    // The port failed under the search: it cannot go on.
    KillTimer(kProbeTimer);
    ReportSerialRefusal(error);
    return;
  }

  ++m_probeHits;
  m_slaveAddress = wireAddress;
  KillTimer(kProbeTimer);
  SetDlgItemText(1061, std::to_string(address));
  SetDlgItemText(1057, ProbeInformationBoxText(m_portNumber, m_baudRate, m_parity));
}

}  // namespace kt::ui
