// Steps the command handlers share: the blocking exchange on the main dialog's line and
// discarding input.
#pragma once

#include <cstdint>

#include "modbus/BlockingExchange.h"
#include "modbus/RequestFrames.h"
#include "ui/CMonitorDlg.h"

namespace kt::ui {

// What a command's exchange came to: the exchange's result, or a serial error of the line.
struct StepReply : modbus::ExchangeResult {
  bool lineFailed = false;  // a serial error ended the step; it went to OnSerialFailure
};

// One blocking exchange of the request in the dialog's request buffer, sent with SendFrame, the
// bytes taken into its receive buffer; the reply is looked for from the slave address. A serial
// error is handed to OnSerialFailure and ends the step without a reply.
StepReply Exchange(CMonitorDlg& dlg, const modbus::ExchangeParams& params);
// The same, with the reply looked for from `replyAddress`; a serial error is passed on.
modbus::ExchangeResult ExchangeWith(CMonitorDlg& dlg, uint8_t replyAddress,
                                    const modbus::ExchangeParams& params);

// Reads the serial input and drops it. A serial error is handed to OnSerialFailure, once a
// command: a line that already failed is not reported again.
void DiscardInput(CMonitorDlg& dlg);

// The slave address a command talks to, read back from its edit as the Run button does.
enum class CommandAddress {
  Usable,     // in the slave address
  BadEntry,   // the framework has prompted once; the command sends nothing
  Broadcast,  // 0: no meter would answer; the user has been told so
};
CommandAddress TakeCommandAddress(CMonitorDlg& dlg);

// Lets a poll reply still on its way finish before the command's first request: waits until no
// byte came for a few character times, at most until one poll period after the last poll request;
// with no byte at all, only until that request's reply would have been in.
void LetLineFallQuiet(CMonitorDlg& dlg);

// Whether a command waits for the line to fall quiet before its first request.
enum class QuietLineFirst { Wait, Skip };

// The start of a command to the meter at the slave address, after polling stopped: takes the
// address from its edit; with no usable address drops pending input, resumes polling and returns
// false. Otherwise lets the line fall quiet (unless told to skip it, as for a command that will
// send nothing) and returns true.
bool BeginAddressedCommand(CMonitorDlg& dlg, QuietLineFirst quiet = QuietLineFirst::Wait);

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
