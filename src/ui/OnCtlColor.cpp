// The colours of the main dialog's controls: the limit status boxes in red while they alarm.
#include "measure/LimitStatus.h"
#include "ui/CMonitorDlg.h"

namespace kt::ui {

CtlColor CMonitorDlg::OnCtlColor(int controlId, CtlColorType type) {
  const CtlColor byDefault = Dialog::OnCtlColor(controlId, type);
  // Read-only edit boxes and labels report Static, so they never get the status colours.
  if (type != CtlColorType::Edit) return byDefault;
  const int index = measure::StatusIndexOf(controlId);
  if (index < 0) return byDefault;
  CtlColor status;
  status.useDefault = false;
  status.transparentBackground = true;
  status.textColor = m_limitStatus[static_cast<size_t>(index)] != 0 ? kRed : kBlack;
  status.brushColor = kDialogBackground;
  return status;
}

}  // namespace kt::ui
