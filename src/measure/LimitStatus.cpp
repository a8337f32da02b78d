// The status update after each decoded block: the status texts and which ones are alarms.
#include "measure/LimitStatus.h"

#include <array>
#include <cstdint>

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
  std::array<bool, values::kStatusItems.size()> alarmTurned{};
  for (size_t i = 0; i < values::kStatusItems.size(); ++i) {
    const values::StatusItem& item = values::kStatusItems[i];
    const int code = values::StatusCode(item.isCurrent ? currentStatus : voltageStatus, item.shift);
    const uint8_t alarm = values::IsAlarm(code) ? 1 : 0;
    alarmTurned[i] = alarm != m_limitStatus[i];
    m_limitStatus[i] = alarm;
    SetDlgItemText(measure::kStatusBoxes[i], values::StatusText(item.isCurrent, code));
  }
  // The colours are asked again only when a control is drawn: a box whose alarm turned is drawn
  // again; the others keep their colours (a new text is drawn anyway), so that a meter reporting
  // the same status every poll costs no drawing.
  for (size_t i = 0; i < alarmTurned.size(); ++i) {
    if (alarmTurned[i]) RedrawControl(measure::kStatusBoxes[i]);
  }
}

}  // namespace kt::ui
