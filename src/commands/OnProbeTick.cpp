// One tick of the probe timer: probe the next address, 1, 2, ..., 254, 0, 1, ...; never 255.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnProbeTick() {
  if (m_probeAddress >= 255) m_probeAddress = 0;
  ProbeAddress(m_probeAddress);
  ++m_probeAddress;
}

}  // namespace kt::ui
