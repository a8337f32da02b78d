// Command 1009: switch the meter to the other accuracy class and show the class on the button.
#include "commands/CommandSteps.h"
#include "modbus/RequestFrames.h"

namespace kt::ui {
namespace {

constexpr uint16_t kAccuracyClassRegister = 0x0022;
constexpr int kAccuracyButton = 1009;

uint8_t Flipped(uint8_t accuracyClass) {
  return accuracyClass == 0 ? 1 : 0;
}

}  // namespace

void CMonitorDlg::OnModifyPrecision() {
  StopPolling();
  const uint8_t requested = Flipped(m_accuracyClass);
  modbus::BuildWriteSingleRequest(m_requestBuffer, m_slaveAddress, kAccuracyClassRegister,
                                  requested);
  // Not acknowledged: flipped back, so a class of 0 or 1 names the meter's class again.
  const bool acknowledged = Exchange(*this, WriteSingleExchange()).found();
  m_accuracyClass = acknowledged ? requested : Flipped(requested);
  SetDlgItemText(kAccuracyButton, m_accuracyClass != 0 ? "0.2级" : "0.5级");
  ResumePolling();
}

}  // namespace kt::ui
