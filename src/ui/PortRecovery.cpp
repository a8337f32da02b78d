// A port that failed, while the dialog runs or at its start: the link status, the observers'
// port events, and opening it again every second until it comes (or back).
#include "serial/SerialErrorText.h"
#include "ui/CMonitorDlg.h"

namespace kt::ui {
namespace {

// Refusals that no later attempt can overcome: the number, the settings or the address is
// wrong, or the device is not a serial port at all. Everything else may change by itself (a
// server not yet up, an adapter plugged in, a permission given).
bool RetryMayHelp(serial::SerialErrorKind kind) {
  using serial::SerialErrorKind;
  switch (kind) {
    case SerialErrorKind::BadPortNumber:
    case SerialErrorKind::BadSettings:
    case SerialErrorKind::BadAddress:
    case SerialErrorKind::NotSerialDevice:
    case SerialErrorKind::Rs485Unsupported:
    case SerialErrorKind::Rs485ByDriver:
      return false;
    default:
      return true;
  }
}

}  // namespace

void CMonitorDlg::OnSerialFailure(const serial::SerialError& error) {
  using serial::SerialErrorKind;
  if (error.kind() == SerialErrorKind::Disconnected) {
    try {
      m_comm.SetPortOpen(false);  // the line may have closed itself already
    } catch (const serial::SerialError&) {
    }
    if (m_linkStatus.State() != LinkState::PortLost) {
      NotifyPortEvent(values::PortEventKind::Lost,
                      error.device().empty() ? DeviceOfPort() : error.device());
    }
    m_linkStatus.PortLost();
    m_portRetry = PortRetry::Lost;
    SetTimer(kReopenTimer, kReopenPeriodMs);
  } else if (error.kind() == SerialErrorKind::OutputStalled) {
    if (m_linkStatus.State() != LinkState::OutputStalled) {
      NotifyPortEvent(values::PortEventKind::Stalled, serial::SerialErrorText(error));
    }
    m_linkStatus.OutputStalled();
  } else {
    ReportSerialRefusal(error);
  }
  ShowLinkStatus();
}

void CMonitorDlg::OnStartRefused(const serial::SerialError& refusal) {
  ReportSerialRefusal(refusal);
  RefusalSeen(refusal);
  if (!RetryMayHelp(refusal.kind())) return;
  m_portRetry = PortRetry::Refused;
  SetTimer(kReopenTimer, kReopenPeriodMs);
}

void CMonitorDlg::RefusalSeen(const serial::SerialError& refusal) {
  const std::string why = serial::SerialErrorText(refusal);
  m_linkStatus.PortRefused(why);
  // A retry that fails for the same reason says nothing new.
  if (why == m_refusalTold) return;
  m_refusalTold = why;
  NotifyPortEvent(values::PortEventKind::NotOpen, why);
}

void CMonitorDlg::TryReopenPort() {
  if (m_comm.GetPortOpen() || m_portRetry == PortRetry::None) {
    KillTimer(kReopenTimer);  // opened meanwhile, through the communication settings
    m_portRetry = PortRetry::None;
    return;
  }
  try {
    // A lost port: the same device, not whatever has its number now. A port refused at the
    // start was never resolved: its number is selected again.
    if (m_portRetry == PortRetry::Refused) {
      OpenPortWithSettings();
    } else {
      OpenSelectedPort();
    }
  } catch (const serial::SerialError& refusal) {
    if (m_portRetry == PortRetry::Refused) RefusalSeen(refusal);
    return;  // still away: the next tick tries again
  }
  KillTimer(kReopenTimer);
  const bool wasLost = m_portRetry == PortRetry::Lost;
  m_portRetry = PortRetry::None;
  m_refusalTold.clear();
  m_linkStatus.PortOpened(DeviceOfPort());
  NotifyPortEvent(wasLost ? values::PortEventKind::Reopened : values::PortEventKind::Opened,
                  DeviceOfPort());
}

}  // namespace kt::ui
