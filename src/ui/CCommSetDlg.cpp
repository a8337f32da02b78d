// The communication settings dialog's radio handlers and data exchange.
#include "ui/CCommSetDlg.h"
#include "ui/CommSetDialogIds.h"

#include <array>
#include <string>
#include <utility>

#include "serial/LineSettingsTable.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {
namespace {

using comm_set_ids::kBaudRadios;
using comm_set_ids::kFirstBaudRadio;
using comm_set_ids::kFirstParityRadio;
using comm_set_ids::kLastBaudRadio;
using comm_set_ids::kLastParityRadio;
using comm_set_ids::kParityRadios;

static_assert(kBaudRadios.size() == serial::kBaudRows.size());
static_assert(kParityRadios.size() == serial::kParityRows.size());

// Index of `radioId` in `radios`, or -1.
template <size_t N>
int IndexOf(const std::array<int, N>& radios, int radioId) {
  for (size_t i = 0; i < N; ++i) {
    if (radios[i] == radioId) return static_cast<int>(i);
  }
  return -1;
}

// Index of the row for `value` in the baud rate or parity table, or -1.
int IndexOf(const decltype(serial::kBaudRows)& rows, int32_t baudRate) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].baudRate == baudRate) return static_cast<int>(i);
  }
  return -1;
}
int IndexOf(const decltype(serial::kParityRows)& rows, int32_t parity) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].meterCode == parity) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

CCommSetDlg::CCommSetDlg(WindowHost& host, PortListSource portList)
    : Dialog(host, CommSetDialogTemplate()), portList_(std::move(portList)) {}

void CCommSetDlg::DoDataExchange(DataExchange& dx) {
  DDX_Text(dx, comm_set_ids::kPortEdit, m_portNumber);
}

bool CCommSetDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  for (size_t i = 0; i < serial::kBaudRows.size(); ++i) {
    if (serial::kBaudRows[i].baudRate == m_baudRate) {
      CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, kBaudRadios[i]);
    }
  }
  for (size_t i = 0; i < serial::kParityRows.size(); ++i) {
    if (serial::kParityRows[i].meterCode == m_parity) {
      CheckRadioButton(kFirstParityRadio, kLastParityRadio, kParityRadios[i]);
    }
  }
  // The same list and lines as `kt7340 --list-ports`, so the two always agree.
  const std::vector<serial::PortInfo> ports = portList_ ? portList_() : serial::ListPorts();
  listedNumbers_.clear();
  for (size_t i = 0; i < ports.size(); ++i) {
    listedNumbers_.push_back(ports[i].number > 0 ? ports[i].number : static_cast<int32_t>(i) + 1);
  }
  SetListLines(comm_set_ids::kPortList, serial::FormatPortList(ports));
  return true;
}

void CCommSetDlg::OnListClick(int controlId, int line) {
  // Without ports the list's one line says so and stands for no port.
  if (controlId != comm_set_ids::kPortList || line < 0) return;
  if (static_cast<size_t>(line) >= listedNumbers_.size()) return;
  SetDlgItemText(comm_set_ids::kPortEdit,
                 std::to_string(listedNumbers_[static_cast<size_t>(line)]));
}

bool CCommSetDlg::OnCommand(int commandId) {
  if (commandId == comm_set_ids::kFindMeterButton) {
    OnFindMeter();
    return true;
  }
  if (IndexOf(kBaudRadios, commandId) >= 0) {
    OnBaudRadio(commandId);
    return true;
  }
  if (IndexOf(kParityRadios, commandId) >= 0) {
    OnParityRadio(commandId);
    return true;
  }
  return Dialog::OnCommand(commandId);
}

void CCommSetDlg::OnBaudRadio(int radioId) {
  CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, radioId);
  const int index = IndexOf(kBaudRadios, radioId);
  if (index >= 0) m_baudRate = serial::kBaudRows[static_cast<size_t>(index)].baudRate;
}

void CCommSetDlg::OnParityRadio(int radioId) {
  CheckRadioButton(kFirstParityRadio, kLastParityRadio, radioId);
  const int index = IndexOf(kParityRadios, radioId);
  if (index >= 0) m_parity = serial::kParityRows[static_cast<size_t>(index)].meterCode;
}

void CCommSetDlg::OnFindMeter() {
  CFindMeterDlg find(Host(), portList_, m_finderSetup);
  // "只查当前端口" means the number in the COM box now, typed or not yet confirmed.
  const std::string typed = GetDlgItemText(comm_set_ids::kPortEdit);
  int32_t current = m_portNumber;
  if (!typed.empty() && typed.find_first_not_of("0123456789") == std::string::npos &&
      typed.size() <= 5) {
    current = std::stoi(typed);
  }
  find.m_currentPort = current;
  find.m_lastUsed = {m_baudRate, m_parity};
  if (find.DoModal() != IDOK || !find.m_chosen) return;

  const finder::FoundMeter& meter = *find.m_chosen;
  SetDlgItemText(comm_set_ids::kPortEdit, std::to_string(meter.line.portNumber));
  if (meter.setting) {
    const int baud = IndexOf(serial::kBaudRows, meter.setting->baudRate);
    const int parity = IndexOf(serial::kParityRows, meter.setting->parity);
    if (baud >= 0) OnBaudRadio(kBaudRadios[static_cast<size_t>(baud)]);
    if (parity >= 0) OnParityRadio(kParityRadios[static_cast<size_t>(parity)]);
  }
  m_foundAddress = static_cast<uint8_t>(meter.address);
}

void CCommSetDlg::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

}  // namespace kt::ui
