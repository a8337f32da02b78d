// One tick of the poll timer: take the reply to the last request, apply it, send the next one.
#include <algorithm>
#include <cstdio>
#include <string>

#include "measure/PollTable.h"
#include "modbus/FindFrame.h"
#include "modbus/RequestFrames.h"
#include "modbus/SerialInput.h"

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

  m_pollReceiveCount = 0;  // stays 0 when the read is refused
  m_pollReceiveCount = modbus::TakeReceivedBytes(m_comm, m_receiveBuffer);

  const measure::PollStep& expected = measure::kPollTable[m_pollState];
  const int16_t framePos =
      modbus::FindFrame(m_receiveBuffer.data(), m_pollReceiveCount, modbus::kReadHoldingRegisters,
                        m_slaveAddress, modbus::ReadReplyLength(expected.registerCount));
  NotifyReadTaken(ReadSource::PollTick, m_pollReceiveCount, m_slaveAddress,
                  modbus::kReadHoldingRegisters, modbus::ReadReplyLength(expected.registerCount));
  if (framePos >= 0) {
    m_pollState = expected.nextState;
    (this->*expected.apply)(framePos);
  }

  const measure::PollStep& next = measure::kPollTable[m_pollState];
  const int16_t n = modbus::BuildReadRequest(m_requestBuffer, m_slaveAddress, next.startRegister,
                                             next.registerCount);
  SendFrame(m_requestBuffer.data(), n);
}

void CMonitorDlg::ApplyConfiguration(int16_t framePos) {
  constexpr int kDataBytes = 38;  // registers 0x0300 to 0x0312
  std::copy_n(m_receiveBuffer.begin() + framePos + 3, kDataBytes, m_registerImage.begin());
  const auto& r = m_registerImage;
  m_slaveAddress = r[1];
  m_ptRatio = WordAt(&r[14]);
  m_ctRatio = WordAt(&r[18]);
  // An exponent beyond the table leaves the energy multiplier as it was.
  if (r[13] < kPowerOfTen.size()) m_energyMultiplier = static_cast<int32_t>(kPowerOfTen[r[13]]);
  m_wiringMode = r[3];
  m_powerMultiplier = r[11] == 1 ? 4 : 1;
}

void CMonitorDlg::ApplyParameterValues(int16_t framePos) {
  constexpr int kDataBytes = 8;  // registers 0x0328 to 0x032B
  std::copy_n(m_receiveBuffer.begin() + framePos + 3, kDataBytes, m_registerImage.begin());
  const auto& r = m_registerImage;
  const double pt = m_ptRatio;
  const double ct = m_ctRatio;
  // The main dialog has no boxes 1066 to 1069; the texts go nowhere, as they always did.
  SetDlgItemText(1066, Printed("%.2f ", WordAt(&r[0]) * pt / 100));
  SetDlgItemText(1067, Printed("%.2f ", WordAt(&r[2]) * pt / 100));
  SetDlgItemText(1068, Printed("%.4f ", WordAt(&r[4]) * ct / 10000));
  SetDlgItemText(1069, Printed("%.4f ", WordAt(&r[6]) * ct / 10000));
  DiscardPendingInput();
}

void CMonitorDlg::ApplyAccuracyClass(int16_t framePos) {
  m_accuracyClass = m_receiveBuffer[framePos + 4];
  SetDlgItemText(1009, m_accuracyClass != 0 ? "0.2级" : "0.5级");
}

void CMonitorDlg::ApplyMeasurementBlock(int16_t framePos) {
  DecodeMeasurementBlock(static_cast<int16_t>(framePos + 3));
}

void CMonitorDlg::ApplyPowerMultiplier(int16_t framePos) {
  m_powerMultiplier = m_receiveBuffer[framePos + 4] != 0 ? 4 : 1;
}

}  // namespace kt::ui
