// The main dialog's timer handler: poll ticks and probe ticks.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnTimer(unsigned timerId) {
  // A prompt or a refusal box opened by an earlier tick lets ticks through; they must not
  // re-enter the cycle and open more of them.
  if (!IsPromptOpen() && !refusalBoxOpen_) {
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
      probeSeen_ = true;
      probeTick_ = clock_.GetTickCount();
      OnProbeTick();
    } else if (timerId == kReopenTimer) {
      TryReopenLostPort();
    } else {
      return;
    }
    tickRefusalReported_ = false;
  } catch (const serial::SerialError& refusal) {
    // A lost port or a stalled output shows in the link status, without a box.
    if (refusal.kind() == serial::SerialErrorKind::Disconnected ||
        refusal.kind() == serial::SerialErrorKind::OutputStalled) {
      OnSerialFailure(refusal);
      return;
    }
    // A port that keeps failing would otherwise raise a box every poll period.
    if (tickRefusalReported_) return;
    tickRefusalReported_ = true;
    refusalBoxOpen_ = true;
    ReportSerialRefusal(refusal);
    refusalBoxOpen_ = false;
  }
}

}  // namespace kt::ui
