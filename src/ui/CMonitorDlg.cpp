// The main dialog: construction, command dispatch and the one way out for every request frame.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

#include <vector>

#include "modbus/FrameFields.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialErrorText.h"
#include "ui/MainDialogTemplate.h"

namespace kt::ui {
namespace {

// A write to address 0 is a broadcast: every meter takes it and none answers. (A read there may
// be answered by a meter that takes it as its own; the address search probes it.)
bool ExpectsReply(std::span<const uint8_t> frame) {
  if (frame.size() < 2 || frame[0] != modbus::kBroadcastAddress) return true;
  return frame[1] != modbus::kWriteSingleRegister && frame[1] != modbus::kWriteMultipleRegisters;
}

// The command table of the main dialog: command identifier -> handler.
struct CommandEntry {
  int id;
  void (CMonitorDlg::*handler)();
  bool resumesPolling;  // the handler restarts the poll timer on every path
};

constexpr CommandEntry kCommandTable[] = {
    {main_ids::kCommSettingsButton, &CMonitorDlg::OnCommSettings, true},
    {main_ids::kMeterSettingsButton, &CMonitorDlg::OnMeterSettings, true},
    {main_ids::kChangeSlaveAddressButton, &CMonitorDlg::OnChangeSlaveAddress, true},
    {main_ids::kAccuracyClassButton, &CMonitorDlg::OnModifyPrecision, true},
    {main_ids::kPollAddressButton, &CMonitorDlg::OnPollAddress, false},
    {main_ids::kRunButton, &CMonitorDlg::OnRunStop, false},
    {main_ids::kSetParametersCommand, &CMonitorDlg::OnSetParameters, true},
    {main_ids::kReadParametersCommand, &CMonitorDlg::OnReadParameters, true},
    {main_ids::kRefreshUrgButton, &CMonitorDlg::OnRefreshUrg, true},
    {main_ids::kWorkbenchButton, &CMonitorDlg::OnOpenWorkbench, false},
};

}  // namespace

CMonitorDlg::CMonitorDlg(WindowHost& host, serial::SerialControl& comm, modbus::Clock& clock)
    : Dialog(host, MainDialogTemplate()), m_comm(comm), m_clock(clock) {
  m_slaveAddress = 0;
}

bool CMonitorDlg::OnCommand(int commandId) {
  for (const auto& entry : kCommandTable) {
    if (entry.id != commandId) continue;
    // Last line of defence: a refusal the handler did not deal with itself is shown once,
    // and a command that always resumes polling still does so.
    m_commandLineFailed = false;
    try {
      (this->*entry.handler)();
    } catch (const serial::SerialError& refusal) {
      OnSerialFailure(refusal);
      if (entry.resumesPolling) ResumePolling();
    }
    ShowLinkStatus();
    return true;
  }
  return Dialog::OnCommand(commandId);
}

void CMonitorDlg::OnOpenWorkbench() {
  if (m_onOpenWorkbench) m_onOpenWorkbench();
}

void CMonitorDlg::ReportSerialRefusal(const serial::SerialError& error) {
  AfxMessageBox(serial::SerialErrorText(error));
}

void CMonitorDlg::SendFrame(std::span<const uint8_t> frame) {
  // The echo is written before the frame goes out, so that it shows the frame even when the
  // serial layer refuses the write.
  m_echoText.clear();
  modbus::AppendEchoText(m_echoText, frame);
  SetDlgItemText(main_ids::kSendEcho, m_echoText);
  if (!m_comm.GetPortOpen()) return;  // echoed only: nothing went out
  m_comm.SetOutput(std::vector<uint8_t>(frame.begin(), frame.end()));
  m_linkStatus.RequestSent(ExpectsReply(frame));
  m_linkStatus.OutputFlowed();
  // Only now is the frame on its way; a refused write went to the caller as a SerialError.
  for (values::MonitorListener* listener : m_listeners) listener->OnFrameSent(frame);
}

}  // namespace kt::ui
