// The receive echo: the last request followed by the bytes of the reply just decoded.
#include <algorithm>

#include <span>

#include "modbus/RequestFrames.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {

namespace {
constexpr int kReceiveEchoMaxBytes = 100;
}  // namespace

void CMonitorDlg::ShowReceiveEcho() {
  // Only bytes this read brought: positions past its count hold earlier reads.
  const int count = std::clamp<int>(m_pollReceiveCount, 0, kReceiveEchoMaxBytes);
  modbus::AppendEchoText(m_echoText, std::span(m_receiveBuffer).first(static_cast<size_t>(count)));
  SetDlgItemText(main_ids::kReceiveEcho, m_echoText);
}

}  // namespace kt::ui
