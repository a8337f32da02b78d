// One probe of the address search: read register 0x0300 at the address and see who answers.
#include <string>

#include "commands/CommandSteps.h"
#include "modbus/FindFrame.h"
#include "modbus/RequestFrames.h"
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
  // The same test the data exchange of edit 1061 makes. A probe every 500 ms would otherwise
  // prompt at every tick; after the first prompt of a search a bad entry is left as it is.
  unsigned long long value = 0;
  if (!ParseUnsigned(GetDlgItemText(1061), 255, value)) {
    if (m_badEntryReportedInSearch) return;
    m_badEntryReportedInSearch = true;
  }
  UpdateData(true);
}

void CMonitorDlg::ProbeAddress(int32_t address) {
  TakeSlaveAddressForProbe();

  const auto wireAddress = static_cast<uint8_t>(address);
  modbus::BuildReadRequest(m_requestBuffer, wireAddress, kProbeRegister, 1);
  const modbus::ExchangeParams probe{8, modbus::kReadHoldingRegisters, modbus::kNoSearch,
                                     modbus::kWriteWaitMs, modbus::DiscardInput::BeforeSending};
  const auto result = ExchangeWith(*this, wireAddress, probe);
  NotifyReadTaken(ReadSource::Probe, result.received, wireAddress, modbus::kReadHoldingRegisters,
                  modbus::ReadReplyLength(1));
  if (!ProbeAnswered(*this, result.received, wireAddress)) return;

  m_slaveAddress = wireAddress;
  KillTimer(kProbeTimer);
  SetDlgItemText(1061, std::to_string(address));
  SetDlgItemText(1057, ProbeInformationBoxText(m_portNumber, m_baudRate, m_parity));
}

}  // namespace kt::ui
