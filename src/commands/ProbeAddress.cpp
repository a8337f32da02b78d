// One probe of the address search: read one configuration register at the address and see who
// answers.
#include <string>

#include "commands/CommandSteps.h"
#include "modbus/FindFrame.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {
namespace {

constexpr uint8_t kExceptionFlag = 0x80;
constexpr int16_t kExceptionReplyLength = 5;

// Only a whole reply from the probed address counts, the register or an exception; a stray
// byte or noise must not end the search at a wrong address.
bool ProbeAnswered(const CMonitorDlg& dlg, int16_t received, uint8_t address) {
  const auto bytes = std::span(dlg.m_receiveBuffer).first(static_cast<size_t>(received));
  const modbus::SlaveAddress from(address);
  constexpr modbus::FunctionCode kRead(modbus::kReadHoldingRegisters);
  constexpr modbus::FunctionCode kReadRefused(modbus::kReadHoldingRegisters | kExceptionFlag);
  return modbus::FindReply(
             bytes, from, kRead,
             modbus::ReadReplyLength(modbus::meter_registers::kAddressProbeRead.count)) >= 0 ||
         modbus::FindReply(bytes, from, kReadRefused, kExceptionReplyLength) >= 0;
}

}  // namespace

void CMonitorDlg::TakeSlaveAddressForProbe() {
  // The same test the data exchange of the slave address edit makes. A probe every 500 ms would
  // otherwise prompt at every tick; after the first prompt of a search a bad entry is left as it
  // is.
  unsigned long long value = 0;
  if (!ParseUnsigned(GetDlgItemText(main_ids::kSlaveAddressEdit), 255, value)) {
    if (m_badEntryReportedInSearch) return;
    m_badEntryReportedInSearch = true;
  }
  UpdateData(true);
}

void CMonitorDlg::ProbeAddress(int32_t address) {
  TakeSlaveAddressForProbe();

  const auto wireAddress = static_cast<uint8_t>(address);
  constexpr modbus::RegisterBlock kProbe = modbus::meter_registers::kAddressProbeRead;
  modbus::BuildReadRequest(m_requestBuffer, wireAddress, kProbe.start, kProbe.count);
  const modbus::ExchangeParams probe{8, modbus::kReadHoldingRegisters, modbus::kNoSearch,
                                     modbus::kWriteWaitMs, modbus::DiscardInput::BeforeSending};
  const auto result = ExchangeWith(*this, wireAddress, probe);
  NotifyReadTaken(values::ReadSource::Probe, result.received, wireAddress,
                  modbus::kReadHoldingRegisters, modbus::ReadReplyLength(1));
  if (!ProbeAnswered(*this, result.received, wireAddress)) return;

  m_slaveAddress = wireAddress;
  KillTimer(kProbeTimer);
  SetDlgItemText(main_ids::kSlaveAddressEdit, std::to_string(address));
  SetDlgItemText(main_ids::kInformationBox,
                 ProbeInformationBoxText(m_portNumber, m_baudRate, m_parity));
}

}  // namespace kt::ui
