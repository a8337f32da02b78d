// One tick of the poll timer: take the reply to the last request, apply it, send the next one.
#include <algorithm>
#include <cstdio>
#include <string>

#include "measure/PollTable.h"
#include "modbus/ConfigurationBlock.h"
#include "modbus/FindFrame.h"
#include "modbus/FrameFields.h"
#include "modbus/MeterRegisters.h"
#include "modbus/QuietLine.h"
#include "modbus/RequestFrames.h"
#include "modbus/SerialInput.h"
#include "ui/BroadcastRefusal.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {
namespace {

std::string Printed(const char* format, double value) {
  char text[64];
  const int n = std::snprintf(text, sizeof text, format, value);
  return n < 0 ? std::string() : std::string(text, std::min<size_t>(n, sizeof text - 1));
}

uint16_t WordAt(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

}  // namespace

void CMonitorDlg::OnPollTick() {
  // Only this handler sets the poll state; an unknown one starts the cycle over.
  if (m_pollState >= measure::kPollTable.size()) m_pollState = 0;
  // A command or a search may have turned to another meter since the last request.
  StartOverForAnotherMeter();

  m_pollReceiveCount = 0;  // stays 0 when the read is refused
  m_pollReceiveCount = modbus::TakeReceivedBytes(m_comm, m_receiveBuffer);

  const measure::PollStep& expected = measure::kPollTable[m_pollState];
  const int16_t framePos = modbus::FindReply(
      std::span(m_receiveBuffer).first(static_cast<size_t>(m_pollReceiveCount)),
      modbus::SlaveAddress(m_slaveAddress), modbus::FunctionCode(modbus::kReadHoldingRegisters),
      modbus::ReadReplyLength(expected.registers.count));
  NotifyReadTaken(values::ReadSource::PollTick, m_pollReceiveCount, m_slaveAddress,
                  modbus::kReadHoldingRegisters, modbus::ReadReplyLength(expected.registers.count));
  if (framePos >= 0) {
    m_pollState = expected.nextState;
    (this->*expected.apply)(framePos);
  }

  // An address typed meanwhile is polled from this tick on, its configuration first.
  TakeSlaveAddressWhilePolling();
  StartOverForAnotherMeter();
  m_pollRequestSent = false;
  if (m_slaveAddress == modbus::kBroadcastAddress) return RefuseBroadcastPolling();
  m_broadcastPollTold = false;

  const measure::PollStep& next = measure::kPollTable[m_pollState];
  const int16_t n = modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, next.registers.start,
                                             next.registers.count);
  SendFrame(std::span(m_requestBuffer).first(static_cast<size_t>(n)));
  m_pollRequestSent = true;
  m_pollReplyAsked = m_comm.GetPortOpen();  // else it was only echoed
  m_pollReplyAddress = m_slaveAddress;
  m_pollReplyLength = modbus::ReadReplyLength(next.registers.count);
  m_lastPollRequestTick = Clock().GetTickCount();
  m_lastPollReplyDueMs =
      modbus::ReplyDueMs(m_baudRate, n, modbus::ReadReplyLength(next.registers.count));
}

void CMonitorDlg::StartOverForAnotherMeter() {
  if (m_slaveAddress != m_configuredAddress || m_portNumber != m_configuredPort) m_pollState = 0;
}

void CMonitorDlg::RefuseBroadcastPolling() {
  // Told only when the user started polling; after a command that resumed it (no address typed
  // yet) the ticks stay silent.
  if (m_broadcastPollTold || m_running == 0) return;
  m_broadcastPollTold = true;
  // Ticks wait while the box is open, as for a refused port.
  m_refusalBoxOpen = true;
  AfxMessageBox(kBroadcastRefusal);
  m_refusalBoxOpen = false;
}

void CMonitorDlg::ApplyConfiguration(int16_t framePos) {
  constexpr int kDataBytes = modbus::meter_registers::kConfigurationRead.DataBytes();
  std::copy_n(m_receiveBuffer.begin() + framePos + 3, kDataBytes, m_registerImage.begin());
  const modbus::MeterConfiguration c =
      modbus::DecodeConfiguration(std::span(m_registerImage).first<kDataBytes>());
  // The meter answered at the address polled; one that names the broadcast address is still
  // polled there, since nothing would answer at 0.
  if (c.slaveAddress != modbus::kBroadcastAddress) m_slaveAddress = c.slaveAddress;
  m_configuredAddress = m_slaveAddress;
  m_configuredPort = m_portNumber;
  m_ptRatio = c.ptRatio;
  m_ctRatio = c.ctRatio;
  // An exponent beyond the table leaves the energy multiplier as it was.
  if (c.energyExponent < kPowerOfTen.size())
    m_energyMultiplier = static_cast<int32_t>(kPowerOfTen[c.energyExponent]);
  m_wiringMode = c.wiringMode;
  m_powerMultiplier = c.powerMultiplierFlag ? 4 : 1;
}

void CMonitorDlg::ApplyParameterValues(int16_t framePos) {
  constexpr int kDataBytes = modbus::meter_registers::kParametersRead.DataBytes();
  std::copy_n(m_receiveBuffer.begin() + framePos + 3, kDataBytes, m_registerImage.begin());
  m_parametersReadFrom = m_receiveBuffer[framePos];  // the reply came from the address polled
  const auto& r = m_registerImage;
  const double pt = m_ptRatio;
  const double ct = m_ctRatio;
  // The main dialog has no parameter value boxes; the texts go nowhere, as they always did.
  SetDlgItemText(main_ids::kPhaseVoltageParameterBox, Printed("%.2f ", WordAt(&r[0]) * pt / 100));
  SetDlgItemText(main_ids::kLineVoltageParameterBox, Printed("%.2f ", WordAt(&r[2]) * pt / 100));
  SetDlgItemText(main_ids::kCurrentParameterBox, Printed("%.4f ", WordAt(&r[4]) * ct / 10000));
  SetDlgItemText(main_ids::kZeroSequenceParameterBox, Printed("%.4f ", WordAt(&r[6]) * ct / 10000));
  DiscardPendingInput();
}

void CMonitorDlg::ApplyAccuracyClass(int16_t framePos) {
  m_accuracyClass = m_receiveBuffer[framePos + 4];
  m_accuracyClassKnown = true;
  SetDlgItemText(main_ids::kAccuracyClassButton, m_accuracyClass != 0 ? "0.2级" : "0.5级");
}

void CMonitorDlg::ApplyMeasurementBlock(int16_t framePos) {
  DecodeMeasurementBlock(static_cast<int16_t>(framePos + 3));
}

void CMonitorDlg::ApplyPowerMultiplier(int16_t framePos) {
  m_powerMultiplier = m_receiveBuffer[framePos + 4] != 0 ? 4 : 1;
}

}  // namespace kt::ui
