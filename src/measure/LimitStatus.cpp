// The status update after each decoded block: the status texts and which ones are alarms.
#include "measure/LimitStatus.h"

#include "ui/CMonitorDlg.h"

namespace kt::measure {

int StatusIndexOf(int controlId) {
  for (size_t i = 0; i < kStatusBoxes.size(); ++i) {
    if (kStatusBoxes[i] == controlId) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kt::measure

namespace kt::ui {

void CMonitorDlg::UpdateStatus(uint8_t voltageStatus, uint8_t currentStatus) {
  for (size_t i = 0; i < values::kStatusItems.size(); ++i) {
    const values::StatusItem& item = values::kStatusItems[i];
    const int code = values::StatusCode(item.isCurrent ? currentStatus : voltageStatus, item.shift);
    m_limitStatus[i] = values::IsAlarm(code) ? 1 : 0;
    SetDlgItemText(measure::kStatusBoxes[i], values::StatusText(item.isCurrent, code));
  }
  // The colours are asked again only when a control is drawn.
  for (const int box : measure::kStatusBoxes) RedrawControl(box);
}

}  // namespace kt::ui
