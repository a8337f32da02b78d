// One tick of the probe timer: probe the next address, 1, 2, ..., 254, 0, 1, ...; never 255.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

void CMonitorDlg::OnProbeTick() {
  if (m_probeAddress >= 255) m_probeAddress = 0;
  // Moved on before the probe: a tick handled while the probe's prompt is open then takes the
  // next address instead of probing this one twice.
  const int32_t address = m_probeAddress++;
  ProbeAddress(address);
}

}  // namespace kt::ui
