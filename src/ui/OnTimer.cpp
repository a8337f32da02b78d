// The main dialog's timer handler: poll ticks and probe ticks.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnTimer(unsigned timerId) {
  // A prompt or a refusal box opened by an earlier tick lets ticks through; they must not
  // re-enter the cycle and open more of them.
  if (!IsPromptOpen() && !refusalBoxOpen_) RunTick(timerId);
  Dialog::OnTimer(timerId);  // the default handling runs in every case
}

void CMonitorDlg::RunTick(unsigned timerId) {
  try {
    if (timerId == kPollTimer) {
      OnPollTick();
    } else if (timerId == kProbeTimer) {
      OnProbeTick();
    } else {
      return;
    }
    tickRefusalReported_ = false;
  } catch (const serial::SerialError& refusal) {
    // A port that keeps failing would otherwise raise a box every poll period.
    if (tickRefusalReported_) return;
    tickRefusalReported_ = true;
    refusalBoxOpen_ = true;
    ReportSerialRefusal(refusal);
    refusalBoxOpen_ = false;
  }
}

}  // namespace kt::ui
