// The link status in the window: its four boxes and the recording's note, the grey of stale
// values.
#include "serial/PortName.h"
#include "ui/CMonitorDlg.h"
#include "ui/CommPort.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

std::string CMonitorDlg::DeviceOfPort() const {
  if (m_portDeviceName) {
    if (std::string name = m_portDeviceName(); !name.empty()) return name;
  }
  try {
    return serial::DevicePathForPort(CommPortOf(m_portNumber));
  } catch (const serial::SerialError&) {
    return "COM" + std::to_string(m_portNumber);
  }
}

void CMonitorDlg::PortClosedByCommand(const std::string& device) {
  m_linkStatus.PortNotOpen();
  NotifyPortEvent(values::PortEventKind::Closed, device);
}

std::function<void()> CMonitorDlg::LinkStatusRefresh() const {
  return [up = std::weak_ptr<CMonitorDlg*>(m_windowUp)] {
    if (const auto dialog = up.lock(); dialog && *dialog) (*dialog)->ShowLinkStatus();
  };
}

bool CMonitorDlg::StaleSince(bool seen, uint32_t tick) const {
  if (!seen) return false;  // nothing shown yet that could be old
  const uint32_t age = m_clock.GetTickCount() - tick;
  return age > kStalePollPeriods * m_pollPeriodMs;
}

bool CMonitorDlg::MeasurementsStale() const {
  return StaleSince(m_blockSeen, m_blockTick);
}

bool CMonitorDlg::LimitStatusStale() const {
  return StaleSince(m_statusSeen, m_statusTick);
}

void CMonitorDlg::ShowLinkStatus() {
  // The port may have been opened or closed by a command (communication settings).
  const LinkState state = m_linkStatus.State();
  const bool statusOpen = state != LinkState::PortNotOpen && state != LinkState::PortLost;
  if (m_comm.GetPortOpen() && !statusOpen) {
    m_linkStatus.PortOpened(DeviceOfPort());
    KillTimer(kReopenTimer);
    m_portRetry = PortRetry::None;
    m_refusalTold.clear();
    NotifyPortEvent(values::PortEventKind::Opened, DeviceOfPort());
  } else if (!m_comm.GetPortOpen() && statusOpen) {
    m_linkStatus.PortNotOpen();
  }
  const bool probing = m_probeSeen && m_clock.GetTickCount() - m_probeTick <= 2 * kProbePeriodMs;
  // Polling runs whenever its timer does: commands restart it whatever the Run button shows.
  m_linkStatus.SetActive(TimerSet(kPollTimer) || probing);

  const auto show = [this](int id, const std::string& text) {
    if (GetDlgItemText(id) != text) SetDlgItemText(id, text);
  };
  show(main_ids::kLinkStateBox, m_linkStatus.StateText());
  show(main_ids::kLinkDeviceBox, m_linkStatus.DeviceText());
  show(main_ids::kLinkCounterBox, m_linkStatus.CounterText());
  show(main_ids::kLinkLastDataBox, m_linkStatus.LastDataText());
  const values::RecordingNote note = m_recordingNote ? m_recordingNote() : values::RecordingNote{};
  show(main_ids::kRecordingNoteBox, note.text);

  if (m_linkStatus.Alarming() != m_shownAlarming) {
    m_shownAlarming = m_linkStatus.Alarming();
    RedrawControl(main_ids::kLinkStateBox);
  }
  if (note.alarming != m_shownRecordingAlarming) {
    m_shownRecordingAlarming = note.alarming;
    RedrawControl(main_ids::kRecordingNoteBox);
  }
  if (MeasurementsStale() != m_shownMeasurementsStale) {
    m_shownMeasurementsStale = MeasurementsStale();
    for (int id : main_ids::kMeasurementBoxes) RedrawControl(id);
  }
  if (LimitStatusStale() != m_shownLimitStatusStale) {
    m_shownLimitStatusStale = LimitStatusStale();
    for (int id : main_ids::kLimitStatusBoxes) RedrawControl(id);
  }
}

}  // namespace kt::ui
