// The main dialog's observers: attaching them and telling them what happened.
#include <algorithm>
#include <chrono>
#include <utility>

#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"
#include "modbus/SerialInput.h"
#include "ui/CMonitorDlg.h"
#include "values/MeasuredBlockFromPayload.h"
#include "values/MeasurementBlock.h"

namespace kt::ui {

void CMonitorDlg::AddListener(values::MonitorListener& listener) {
  if (std::find(m_listeners.begin(), m_listeners.end(), &listener) == m_listeners.end()) {
    m_listeners.push_back(&listener);
  }
}

void CMonitorDlg::RemoveListener(values::MonitorListener& listener) {
  std::erase(m_listeners, &listener);
}

void CMonitorDlg::NotifyReadTaken(values::ReadSource source, int16_t received, uint8_t address,
                                  uint8_t function, int16_t length) {
  const auto count = static_cast<size_t>(std::clamp<int>(received, 0, modbus::kReceiveBufferSize));
  m_pollReplyAsked = false;
  values::ReadTaken read;
  read.source = source;
  read.bytes = std::span<const uint8_t>(m_receiveBuffer.data(), count);
  read.address = address;
  read.function = function;
  read.length = length;
  read.awaited = m_linkStatus.AwaitingReply();
  read.verdict = modbus::CheckReply(read.bytes, address, function, length);
  m_linkStatus.ReplyJudged(read.verdict);
  for (values::MonitorListener* listener : m_listeners) listener->OnReadTaken(read);
}

void CMonitorDlg::DiscardPendingInput() {
  const std::vector<uint8_t> dropped = modbus::DiscardPendingInput(m_comm);
  NotifyInputDiscarded(dropped);
}

void CMonitorDlg::NotifyInputDiscarded(std::span<const uint8_t> bytes) {
  // Nothing pending: the poll's reply may still come.
  const bool lateReply = !bytes.empty() && std::exchange(m_pollReplyAsked, false);
  const values::ReadTaken read{
      .source = values::ReadSource::PollTick,
      .bytes = bytes,
      .address = m_pollReplyAddress,
      .function = modbus::kReadHoldingRegisters,
      .length = m_pollReplyLength,
      .awaited = true,
      .verdict = modbus::CheckReply(bytes, m_pollReplyAddress, modbus::kReadHoldingRegisters,
                                    m_pollReplyLength)};
  if (lateReply && read.verdict.outcome == modbus::ReplyOutcome::Valid) {
    for (values::MonitorListener* listener : m_listeners) listener->OnReadTaken(read);
    return;
  }
  for (values::MonitorListener* listener : m_listeners) listener->OnInputDiscarded(bytes);
}

void CMonitorDlg::NotifyPortEvent(values::PortEventKind kind, const std::string& detail) {
  const values::PortEvent event{kind, detail};
  for (values::MonitorListener* listener : m_listeners) listener->OnPortEvent(event);
}

void CMonitorDlg::NotifyBlockDecoded(
    const std::array<values::ShownValue, values::kShownValueCount>& shown,
    const values::ScaleFactors& scale, int statusPos) {
  const auto now = std::chrono::system_clock::now();
  m_blockSeen = true;
  m_blockTick = m_clock.GetTickCount();
  if (statusPos >= 0) {
    m_statusSeen = true;
    m_statusTick = m_blockTick;
  }
  m_linkStatus.BlockDecoded(std::chrono::system_clock::to_time_t(now));
  if (m_listeners.empty()) return;
  values::MeasuredBlock block =
      values::ToMeasuredBlock(shown, scale, m_wiringMode, m_slaveAddress, now);
  block.pollPeriodMs = m_pollPeriodMs;
  if (statusPos >= 0 && statusPos + 1 < modbus::kReceiveBufferSize) {
    const auto at = static_cast<size_t>(statusPos);
    block.status = values::StatusPair{m_receiveBuffer[at], m_receiveBuffer[at + 1]};
  }
  for (values::MonitorListener* listener : m_listeners) listener->OnBlockDecoded(block);
}

}  // namespace kt::ui
