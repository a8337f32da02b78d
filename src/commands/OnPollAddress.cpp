// Command 1062: start the address search; the probe timer then probes one address per tick.
#include "ui/CMonitorDlg.h"

namespace kt::ui {
namespace {

// The 34 measurement edits, emptied for the search.
constexpr int kMeasurementEditRanges[][2] = {{1000, 1003}, {1025, 1050}, {1053, 1056}};

}  // namespace

void CMonitorDlg::OnPollAddress() {
  StopPolling();
  m_probeAddress = 1;
  for (const auto& range : kMeasurementEditRanges) {
    for (int id = range[0]; id <= range[1]; ++id) SetDlgItemText(id, "");
  }
  m_badEntryReportedInSearch = false;
  SetTimer(kProbeTimer, kProbePeriodMs);
}

}  // namespace kt::ui
