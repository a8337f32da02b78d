// The main dialog's initialisation: Monitor state defaults, poll period, the port, the
// information box.
#include "ui/CMonitorDlg.h"
#include "ui/CommPort.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

bool CMonitorDlg::OnInitDialog() {
  Dialog::OnInitDialog();  // the slave address edit shows the slave address, "0"
  *m_windowUp = this;

  m_ctRatio = 1;
  m_ptRatio = 1;
  m_wiringMode = 0;
  m_probeAddress = 1;
  m_running = 0;
  m_limitStatus.fill(0);

  m_pollPeriodMs = PollPeriodMsFor(m_baudRate);

  // A refused port is reported once and left closed; the rest still runs, so that the dialog is
  // in a defined state. The port is tried again every second (a server not yet up, a permission
  // given later), quietly, with the reason in the link status; or another port is chosen with
  // "通讯设置".
  try {
    OpenPortWithSettings();
  } catch (const serial::SerialError& refusal) {
    OnStartRefused(refusal);
  }
  if (m_comm.GetPortOpen()) {
    m_linkStatus.PortOpened(DeviceOfPort());
    NotifyPortEvent(values::PortEventKind::Opened, DeviceOfPort());
  }

  m_finderSetup.lending = {[this](int32_t port) { return LendPortToFinder(port); },
                           [this](int32_t) { TakeBackPortFromFinder(); }};
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
