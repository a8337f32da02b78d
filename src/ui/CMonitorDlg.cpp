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
  bool resumesPolling;  // the handler restarts the poll timer on every path
};

constexpr CommandEntry kCommandTable[] = {
    {1004, &CMonitorDlg::OnCommSettings, true},       {1006, &CMonitorDlg::OnMeterSettings, true},
    {1007, &CMonitorDlg::OnChangeSlaveAddress, true}, {1009, &CMonitorDlg::OnModifyPrecision, true},
    {1062, &CMonitorDlg::OnPollAddress, false},       {1063, &CMonitorDlg::OnRunStop, false},
    {1070, &CMonitorDlg::OnSetParameters, true},      {1071, &CMonitorDlg::OnReadParameters, true},
    {1091, &CMonitorDlg::OnRefreshUrg, true},
};

}  // namespace

CMonitorDlg::CMonitorDlg(WindowHost& host, serial::SerialControl& comm, modbus::Clock& clock)
    : Dialog(host, MainDialogTemplate()), m_comm(comm), clock_(clock) {
  m_slaveAddress = 0;
}

bool CMonitorDlg::OnCommand(int commandId) {
  for (const auto& entry : kCommandTable) {
    if (entry.id != commandId) continue;
    // Last line of defence: a refusal the handler did not deal with itself is shown once,
    // and a command that always resumes polling still does so.
    try {
      (this->*entry.handler)();
    } catch (const serial::SerialError& refusal) {
      ReportSerialRefusal(refusal);
      if (entry.resumesPolling) ResumePolling();
    }
    return true;
  }
  return Dialog::OnCommand(commandId);
}

void CMonitorDlg::ReportSerialRefusal(const serial::SerialError& error) {
  const std::string device = error.device().empty() ? "" : " " + error.device();
  AfxMessageBox("串口" + device + " 无法使用：" + error.reason());
}

void CMonitorDlg::SendFrame(const uint8_t* bytes, int16_t count) {
  if (count < 0) count = 0;
  // The echo is written before the frame goes out, so that it shows the frame even when the
  // serial layer refuses the write.
  m_echoText.clear();
  modbus::AppendEchoText(m_echoText, bytes, count);
  SetDlgItemText(1021, m_echoText);
  for (MonitorListener* listener : listeners_) {
    listener->OnFrameSent(std::span<const uint8_t>(bytes, static_cast<size_t>(count)));
  }
  if (m_comm.GetPortOpen()) m_comm.SetOutput(std::vector<uint8_t>(bytes, bytes + count));
}

}  // namespace kt::ui
