// The colours of the main dialog's controls: the limit status boxes in red while they alarm,
// the link state and the recording's note in red while they warn, stale values in grey.
#include <algorithm>

#include "measure/LimitStatus.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {
namespace {

CtlColor TextOn(uint32_t textColor) {
  CtlColor c;
  c.useDefault = false;
  c.transparentBackground = true;
  c.textColor = textColor;
  c.brushColor = kDialogBackground;
  return c;
}

}  // namespace

CtlColor CMonitorDlg::OnCtlColor(int controlId, CtlColorType type) {
  const CtlColor byDefault = Dialog::OnCtlColor(controlId, type);
  // Labels and buttons keep the dialog's colours; the boxes below are all edit boxes.
  if (type != CtlColorType::Edit && type != CtlColorType::Static) return byDefault;
  if (controlId == main_ids::kLinkStateBox) {
    return m_linkStatus.Alarming() ? TextOn(kRed) : byDefault;
  }
  if (controlId == main_ids::kRecordingNoteBox) {
    return m_shownRecordingAlarming ? TextOn(kRed) : byDefault;
  }
  if (const int index = measure::StatusIndexOf(controlId); index >= 0) {
    if (LimitStatusStale()) return TextOn(kGrey);
    return TextOn(m_limitStatus[static_cast<size_t>(index)] != 0 ? kRed : kBlack);
  }
  const auto& boxes = main_ids::kMeasurementBoxes;
  if (std::find(boxes.begin(), boxes.end(), controlId) != boxes.end() && MeasurementsStale()) {
    return TextOn(kGrey);
  }
  return byDefault;
}

}  // namespace kt::ui
