// The accuracy class button: switch the meter to the other accuracy class and show the class on the
// button.
#include "commands/CommandSteps.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {
namespace {

uint8_t Flipped(uint8_t accuracyClass) {
  return accuracyClass == 0 ? 1 : 0;
}

}  // namespace

void CMonitorDlg::OnModifyPrecision() {
  StopPolling();
  if (!BeginAddressedCommand(*this)) return;
  const uint8_t requested = Flipped(m_accuracyClass);
  modbus::BuildWriteSingleRequest(m_requestBuffer, m_slaveAddress,
                                  modbus::meter_registers::kAccuracyClassWrite.start, requested);
  // Not acknowledged: flipped back, so a class of 0 or 1 names the meter's class again.
  const bool acknowledged = Exchange(*this, WriteSingleExchange()).found();
  m_accuracyClass = acknowledged ? requested : Flipped(requested);
  m_accuracyClassKnown = m_accuracyClassKnown || acknowledged;
  SetDlgItemText(main_ids::kAccuracyClassButton, m_accuracyClass != 0 ? "0.2级" : "0.5级");
  ResumePolling();
}

}  // namespace kt::ui
