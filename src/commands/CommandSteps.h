// Steps the command handlers share: the blocking exchange on the main dialog's line and
// discarding input.
#pragma once

#include <cstdint>

#include "modbus/BlockingExchange.h"
#include "modbus/RequestFrames.h"
#include "ui/CMonitorDlg.h"

namespace kt::ui {

// One blocking exchange of the request in the dialog's request buffer, sent with SendFrame, the
// bytes taken into its receive buffer; the reply is looked for from the slave address.
modbus::ExchangeResult Exchange(CMonitorDlg& dlg, const modbus::ExchangeParams& params);
// The same, with the reply looked for from `replyAddress`.
modbus::ExchangeResult ExchangeWith(CMonitorDlg& dlg, uint8_t replyAddress,
                                    const modbus::ExchangeParams& params);

// Reads the serial input and drops it.
void DiscardInput(CMonitorDlg& dlg);

// Parameters of the exchanges, named after what they send.
inline modbus::ExchangeParams WriteSingleExchange() {
  return {8, modbus::kWriteSingleRegister, modbus::kWriteReplyLength, modbus::kWriteWaitMs,
          modbus::DiscardInput::BeforeSending};
}
inline modbus::ExchangeParams WriteMultipleExchange(int16_t requestLength) {
  return {requestLength, modbus::kWriteMultipleRegisters, modbus::kWriteReplyLength,
          modbus::kWriteWaitMs, modbus::DiscardInput::BeforeSending};
}
inline modbus::ExchangeParams ReadExchange(int registers, uint32_t waitMs) {
  return {8, modbus::kReadHoldingRegisters, modbus::ReadReplyLength(registers), waitMs,
          modbus::DiscardInput::AfterSending};
}

}  // namespace kt::ui
