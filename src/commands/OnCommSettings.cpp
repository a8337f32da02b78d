// The communication settings button: change the line settings of meter and PC together; the meter
// is told first, on the settings still in force, then the PC's port is reopened with the new ones.
#include <array>
#include <cstdint>
#include <string>

#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"
#include "ui/CCommSetDlg.h"
#include "ui/CommPort.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {
namespace {

uint16_t BaudCode(int32_t baudRate) {
  const serial::BaudRow* row = serial::FindBaudRow(baudRate);
  return row != nullptr ? row->meterCode : 0;  // the dialog offers only the table's rates
}

uint16_t ParityCode(int32_t parity) {
  const serial::ParityRow* row = serial::FindParityRow(parity);
  return row != nullptr ? row->meterCode : static_cast<uint16_t>(parity);
}

// Writes one line setting to the meter; true when it acknowledged.
bool WriteLineSetting(CMonitorDlg& dlg, uint16_t reg, uint16_t code) {
  modbus::BuildWriteSingleRequest(dlg.m_requestBuffer, dlg.m_slaveAddress, reg, code);
  return Exchange(dlg, WriteSingleExchange()).found();
}

// Closes the PC's port, `closedDevice` ("" when it was not open), and opens it again with the
// Monitor state's settings; the link status and the log see both, so a switch to another port
// names the new one. A refusal (also of a port number beyond the control's 16 bits) is reported
// and leaves the port closed (requests are then echoed, not sent).
void ReopenPort(CMonitorDlg& dlg, const std::string& closedDevice) {
  try {
    dlg.m_comm.SetPortOpen(false);
    if (!closedDevice.empty()) dlg.PortClosedByCommand(closedDevice);
    dlg.m_comm.SetCommPort(CommPortOf(dlg.m_portNumber));
    dlg.m_comm.SetSettings(SettingsText(dlg.m_baudRate, dlg.m_parity));
    dlg.m_comm.SetPortOpen(true);
  } catch (const serial::SerialError& error) {
    dlg.ReportSerialRefusal(error);
    dlg.RefusalSeen(error);
  }
  dlg.ShowLinkStatus();
}

}  // namespace

void CMonitorDlg::OnCommSettings() {
  StopPolling();
  CCommSetDlg dlg(Host(), m_portListSource);
  dlg.m_parity = m_parity;
  dlg.m_baudRate = m_baudRate;
  dlg.m_portNumber = m_portNumber;
  dlg.m_finderSetup = m_finderSetup;
  if (dlg.DoModal() == IDOK) {
    // A meter taken over from "自动查找…" already runs at the chosen settings: the PC follows it
    // without writing them to any meter, and talks to that meter from now on.
    if (dlg.m_foundAddress) {
      m_baudRate = dlg.m_baudRate;
      m_pollPeriodMs = PollPeriodMsFor(m_baudRate);
      m_parity = dlg.m_parity;
      m_slaveAddress = *dlg.m_foundAddress;
      SetDlgItemText(main_ids::kSlaveAddressEdit, std::to_string(m_slaveAddress));
    }
    const bool meterToldFirst = dlg.m_baudRate != m_baudRate || dlg.m_parity != m_parity;
    // Without a meter that answers, the line settings of meter and PC must not part ways.
    bool lineSettingsMayChange = true;
    if (meterToldFirst) {
      switch (TakeCommandAddress(*this)) {
        case CommandAddress::BadEntry:
          DiscardInput(*this);
          return ResumePolling();
        case CommandAddress::Broadcast:
          lineSettingsMayChange = false;
          break;
        case CommandAddress::Usable:
          LetLineFallQuiet(*this);
          break;
      }
    }
    if (lineSettingsMayChange && dlg.m_baudRate != m_baudRate) {
      if (WriteLineSetting(*this, modbus::meter_registers::kBaudWrite.start,
                           BaudCode(dlg.m_baudRate))) {
        m_baudRate = dlg.m_baudRate;
        // A slower line needs the longer period, or the replies never fit between two ticks.
        m_pollPeriodMs = PollPeriodMsFor(m_baudRate);
      } else if (!m_commandLineFailed) {
        AfxMessageBox("改变波特率不成功");
      }
    }
    if (lineSettingsMayChange && dlg.m_parity != m_parity) {
      if (!WriteLineSetting(*this, modbus::meter_registers::kParityWrite.start,
                            ParityCode(dlg.m_parity)) &&
          !m_commandLineFailed) {
        AfxMessageBox("改变校验方式不成功");
      }
      // The PC takes the new parity even when the meter did not acknowledge it, but not when
      // the line failed before the meter could hear it.
      if (!m_commandLineFailed) m_parity = dlg.m_parity;
    }
    const std::string closedDevice = OpenDevice();  // named before the number changes
    m_portNumber = dlg.m_portNumber;
    ReopenPort(*this, closedDevice);
    SetDlgItemText(main_ids::kInformationBox,
                   InformationBoxText(m_portNumber, m_baudRate, m_parity));
  }
  DiscardInput(*this);
  ResumePolling();
}

}  // namespace kt::ui
