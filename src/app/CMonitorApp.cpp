// Start-up: the communication settings first, then the main dialog with those settings.
#include "app/CMonitorApp.h"

#include "serial/LineSettingsTable.h"
#include "ui/CCommSetDlg.h"
#include "ui/CMonitorDlg.h"

namespace kt::app {

bool CMonitorApp::InitInstance() {
  ui::CCommSetDlg commSet(host_, portList_);
  host_.SetDialogBkColor(ui::kDialogBackground, ui::kBlack);
  commSet.m_baudRate = serial::kDefaultBaudRate;
  commSet.m_parity = serial::kDefaultParityCode;
  commSet.m_portNumber = 1;
  commSet.m_finderSetup = {&clock_, finderOpener};
  if (commSet.DoModal() != ui::IDOK) return false;

  ui::CMonitorDlg monitor(host_, comm_, clock_);
  monitor.m_portListSource = portList_;
  monitor.m_finderSetup = {&clock_, finderOpener};
  m_pMainWnd = &monitor;
  host_.SetDialogBkColor(ui::kDialogBackground, ui::kBlack);
  monitor.m_baudRate = commSet.m_baudRate;
  monitor.m_portNumber = commSet.m_portNumber;
  monitor.m_parity = commSet.m_parity;
  // A meter taken over from "自动查找…" is the one the main dialog talks to.
  if (commSet.m_foundAddress) monitor.m_slaveAddress = *commSet.m_foundAddress;
  if (onMainDialog) onMainDialog(monitor);
  monitor.DoModal();
  m_pMainWnd = nullptr;  // the dialog object ends here
  return false;
}

}  // namespace kt::app
