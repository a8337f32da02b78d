// The poll address button: start the address search; the probe timer then probes one address per
// tick.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {
void CMonitorDlg::OnPollAddress() {
  StopPolling();
  m_probeAddress = 1;
  // The measurement boxes are emptied for the search.
  for (int id : main_ids::kMeasurementBoxes) SetDlgItemText(id, "");
  m_badEntryReportedInSearch = false;
  SetTimer(kProbeTimer, kProbePeriodMs);
}

}  // namespace kt::ui
