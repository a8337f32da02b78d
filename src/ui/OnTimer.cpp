// The main dialog's timer handler: poll ticks and probe ticks.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnTimer(unsigned timerId) {
  // A prompt or a refusal box opened by an earlier tick lets ticks through; they must not
  // re-enter the cycle and open more of them.
  if (!IsPromptOpen() && !m_refusalBoxOpen) {
    RunTick(timerId);
    ShowLinkStatus();  // also turns stale values grey once they are old enough
  }
  Dialog::OnTimer(timerId);  // the default handling runs in every case
}

void CMonitorDlg::RunTick(unsigned timerId) {
  try {
    if (timerId == kPollTimer) {
      OnPollTick();
    } else if (timerId == kProbeTimer) {
      m_probeSeen = true;
      m_probeTick = m_clock.GetTickCount();
      OnProbeTick();
    } else if (timerId == kReopenTimer) {
      TryReopenPort();
    } else {
      return;
    }
    m_tickRefusalReported = false;
  } catch (const serial::SerialError& refusal) {
    // A lost port or a stalled output shows in the link status, without a box.
    if (refusal.kind() == serial::SerialErrorKind::Disconnected ||
        refusal.kind() == serial::SerialErrorKind::OutputStalled) {
      OnSerialFailure(refusal);
      return;
    }
    // A port that keeps failing would otherwise raise a box every poll period.
    if (m_tickRefusalReported) return;
    m_tickRefusalReported = true;
    m_refusalBoxOpen = true;
    ReportSerialRefusal(refusal);
    m_refusalBoxOpen = false;
  }
}

}  // namespace kt::ui
