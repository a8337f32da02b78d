// The main dialog: construction, command dispatch and the one way out for every request frame.
#include "ui/CMonitorDlg.h"

#include <vector>

#include "modbus/RequestFrames.h"
#include "ui/MainDialogTemplate.h"

namespace kt::ui {
namespace {

// The command table of the main dialog: command identifier -> handler.
struct CommandEntry {
  int id;
  void (CMonitorDlg::*handler)();
};

constexpr CommandEntry kCommandTable[] = {
    {1004, &CMonitorDlg::OnCommSettings},       {1006, &CMonitorDlg::OnMeterSettings},
    {1007, &CMonitorDlg::OnChangeSlaveAddress}, {1009, &CMonitorDlg::OnModifyPrecision},
    {1062, &CMonitorDlg::OnPollAddress},        {1063, &CMonitorDlg::OnRunStop},
    {1070, &CMonitorDlg::OnSetParameters},      {1071, &CMonitorDlg::OnReadParameters},
    {1091, &CMonitorDlg::OnRefreshUrg},
};

}  // namespace

CMonitorDlg::CMonitorDlg(WindowHost& host, serial::SerialControl& comm, modbus::Clock& clock)
    : Dialog(host, MainDialogTemplate()), m_comm(comm), clock_(clock) {
  m_slaveAddress = 0;
}

bool CMonitorDlg::OnCommand(int commandId) {
  for (const auto& entry : kCommandTable) {
    if (entry.id == commandId) {
      (this->*entry.handler)();
      return true;
    }
  }
  return Dialog::OnCommand(commandId);
}

void CMonitorDlg::ReportSerialRefusal(const serial::SerialError& error) {
  AfxMessageBox("串口 " + error.device() + " 无法使用：" + error.reason());
}

void CMonitorDlg::SendFrame(const uint8_t* bytes, int16_t count) {
  m_echoText.clear();
  if (m_comm.GetPortOpen()) m_comm.SetOutput(std::vector<uint8_t>(bytes, bytes + count));
  modbus::AppendEchoText(m_echoText, bytes, count);
  SetDlgItemText(1021, m_echoText);
}

}  // namespace kt::ui
