// The communication settings dialog's radio handlers and data exchange.
#include "ui/CCommSetDlg.h"

#include <array>

#include "ui/CommSetDialogTemplate.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {
namespace {

constexpr int kFirstBaudRadio = 1009;
constexpr int kLastBaudRadio = 1013;
constexpr int kFirstParityRadio = 1014;
constexpr int kLastParityRadio = 1016;
constexpr std::array<int32_t, 5> kBaudOfRadio = {1200, 2400, 4800, 9600, 19200};

}  // namespace

CCommSetDlg::CCommSetDlg(WindowHost& host) : Dialog(host, CommSetDialogTemplate()) {}

void CCommSetDlg::DoDataExchange(DataExchange& dx) {
  DDX_Text(dx, 1000, m_portNumber);
}

bool CCommSetDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  for (int i = 0; i < static_cast<int>(kBaudOfRadio.size()); ++i) {
    if (kBaudOfRadio[i] == m_baudRate) {
      CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, kFirstBaudRadio + i);
    }
  }
  if (m_parity >= 0 && m_parity <= 2) {
    CheckRadioButton(kFirstParityRadio, kLastParityRadio, kFirstParityRadio + m_parity);
  }
  return true;
}

bool CCommSetDlg::OnCommand(int commandId) {
  if (commandId >= kFirstBaudRadio && commandId <= kLastBaudRadio) {
    OnBaudRadio(commandId);
    return true;
  }
  if (commandId >= kFirstParityRadio && commandId <= kLastParityRadio) {
    OnParityRadio(commandId);
    return true;
  }
  return Dialog::OnCommand(commandId);
}

void CCommSetDlg::OnBaudRadio(int radioId) {
  CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, radioId);
  m_baudRate = kBaudOfRadio[radioId - kFirstBaudRadio];
}

void CCommSetDlg::OnParityRadio(int radioId) {
  CheckRadioButton(kFirstParityRadio, kLastParityRadio, radioId);
  m_parity = radioId - kFirstParityRadio;
}

void CCommSetDlg::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

}  // namespace kt::ui
