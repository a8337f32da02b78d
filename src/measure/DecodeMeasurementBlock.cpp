// The decoder of a matched measurement reply: values with units, limit status, then the receive
// echo.
#include "measure/ShownValueBoxes.h"
#include "modbus/RequestFrames.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"
#include "values/MeasurementBlock.h"
#include "values/UnitFormat.h"

namespace kt::ui {

void CMonitorDlg::DecodeMeasurementBlock(int16_t payloadPos) {
  const int framePos = payloadPos - 3;
  if (framePos < 0 || framePos + values::kBlockReplyLength > modbus::kReceiveBufferSize) return;

  const values::ScaleFactors scale{m_ptRatio, m_ctRatio, m_powerMultiplier, m_energyMultiplier};
  const auto shown = values::DecodeBlock(m_receiveBuffer.data() + payloadPos, scale);
  for (size_t i = 0; i < shown.size(); ++i) {
    SetDlgItemText(measure::kShownValueBoxes[i],
                   values::FormatValue(shown[i].family, shown[i].value));
  }

  // The status pair follows the reply directly and ends the read; anything else after the reply
  // (noise, a stray frame) is no status, and the status keeps what the last pair reported.
  const int statusPos = framePos + values::kBlockReplyLength;
  const bool withStatus = statusPos + 2 == m_pollReceiveCount;
  if (withStatus) UpdateStatus(m_receiveBuffer[statusPos], m_receiveBuffer[statusPos + 1]);

  ShowReceiveEcho();
  NotifyBlockDecoded(shown, scale, withStatus ? statusPos : -1);
}

}  // namespace kt::ui
