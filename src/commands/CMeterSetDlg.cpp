// The meter settings dialog's data exchange and wiring radios.
#include "commands/CMeterSetDlg.h"
#include "commands/MeterSetDialogIds.h"

#include "commands/MeterSetDialogTemplate.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

CMeterSetDlg::CMeterSetDlg(WindowHost& host) : Dialog(host, MeterSetDialogTemplate()) {}

void CMeterSetDlg::DoDataExchange(DataExchange& dx) {
  DDX_Text(dx, meter_set_ids::kPtEdit, m_pt);
  DDV_MinMaxUInt(dx, m_pt, kMinRatio, kMaxRatio);
  DDX_Text(dx, meter_set_ids::kCtEdit, m_ct);
  DDV_MinMaxUInt(dx, m_ct, kMinRatio, kMaxRatio);
}

bool CMeterSetDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  // A code outside 0..5 names no radio, so none is selected.
  CheckRadioButton(kFirstWiringRadio, kLastWiringRadio, kFirstWiringRadio + m_wiringCode);
  return true;
}

bool CMeterSetDlg::OnCommand(int commandId) {
  if (commandId >= kFirstWiringRadio && commandId <= kLastWiringRadio) {
    OnWiringRadio(commandId);
    return true;
  }
  return Dialog::OnCommand(commandId);
}

void CMeterSetDlg::OnWiringRadio(int radioId) {
  CheckRadioButton(kFirstWiringRadio, kLastWiringRadio, radioId);
  m_wiringCode = static_cast<uint8_t>(radioId - kFirstWiringRadio);
}

void CMeterSetDlg::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

}  // namespace kt::ui
