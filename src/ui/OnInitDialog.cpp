// The main dialog's initialisation: Monitor state defaults, poll period, the port, the
// information box.
#include "ui/CMonitorDlg.h"
#include "ui/CommPort.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

bool CMonitorDlg::OnInitDialog() {
  Dialog::OnInitDialog();  // the slave address edit shows the slave address, "0"

  m_ctRatio = 1;
  m_ptRatio = 1;
  m_wiringMode = 0;
  m_probeAddress = 1;
  m_running = 0;
  m_limitStatus.fill(0);

  m_pollPeriodMs = PollPeriodMsFor(m_baudRate);

  // A refused port is reported and left closed; the rest still runs, so that the dialog is in a
  // defined state and another port can be chosen with "通讯设置".
  try {
    OpenPortWithSettings();
  } catch (const serial::SerialError& refusal) {
    ReportSerialRefusal(refusal);
    // "设备" still names what was refused.
    if (!refusal.device().empty()) {
      m_linkStatus.PortOpened(refusal.device());
      m_linkStatus.PortNotOpen();
    }
  }
  if (m_comm.GetPortOpen()) m_linkStatus.PortOpened(DeviceOfPort());

  m_pollState = 0;
  SetDlgItemText(main_ids::kInformationBox, InformationBoxText(m_portNumber, m_baudRate, m_parity));
  ShowLinkStatus();
  return true;
}

void CMonitorDlg::OpenPortWithSettings() {
  m_comm.SetCommPort(CommPortOf(m_portNumber));
  OpenSelectedPort();
}

void CMonitorDlg::OpenSelectedPort() {
  m_comm.SetSettings(SettingsText(m_baudRate, m_parity));
  m_comm.SetPortOpen(true);
  m_comm.SetInputLen(0);
  m_comm.SetInBufferCount(0);
}

}  // namespace kt::ui
