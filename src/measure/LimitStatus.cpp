// The status update after each decoded block: the status texts and which ones are alarms.
#include "measure/LimitStatus.h"

#include "ui/CMonitorDlg.h"

namespace kt::measure {

const char* StatusText(bool isCurrent, int code) {
  if (code == 1) return isCurrent ? "欠流" : "欠压";
  if (code == 2) return isCurrent ? "过流" : "过压";
  return "正常";
}

int StatusIndexOf(int controlId) {
  for (size_t i = 0; i < kStatusItems.size(); ++i) {
    if (kStatusItems[i].controlId == controlId) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kt::measure

namespace kt::ui {

void CMonitorDlg::UpdateStatus(uint8_t voltageStatus, uint8_t currentStatus) {
  for (size_t i = 0; i < measure::kStatusItems.size(); ++i) {
    const measure::StatusItem& item = measure::kStatusItems[i];
    const int code =
        measure::StatusCode(item.isCurrent ? currentStatus : voltageStatus, item.shift);
    m_limitStatus[i] = measure::IsAlarm(code) ? 1 : 0;
    SetDlgItemText(item.controlId, measure::StatusText(item.isCurrent, code));
  }
  // The colours are asked again only when a control is drawn.
  for (const measure::StatusItem& item : measure::kStatusItems) RedrawControl(item.controlId);
}

}  // namespace kt::ui
