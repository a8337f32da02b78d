// The shared command steps over the main dialog's serial control and clock.
#include "commands/CommandSteps.h"

#include "modbus/FrameFields.h"
#include "modbus/QuietLine.h"
#include "ui/BroadcastRefusal.h"
#include "ui/MainDialogIds.h"

namespace kt::ui {
namespace {

// A failing line is reported once a command; the steps after it do not touch the line.
void ReportLineFailure(CMonitorDlg& dlg, const serial::SerialError& error) {
  if (dlg.m_commandLineFailed) return;
  dlg.m_commandLineFailed = true;
  dlg.OnSerialFailure(error);
}

}  // namespace

StepReply Exchange(CMonitorDlg& dlg, const modbus::ExchangeParams& params) {
  StepReply reply;
  reply.position = -1;
  reply.received = 0;
  reply.lineFailed = dlg.m_commandLineFailed;
  if (reply.lineFailed) return reply;
  try {
    static_cast<modbus::ExchangeResult&>(reply) = ExchangeWith(dlg, dlg.m_slaveAddress, params);
  } catch (const serial::SerialError& error) {
    reply.lineFailed = true;
    ReportLineFailure(dlg, error);
  }
  return reply;
}

modbus::ExchangeResult ExchangeWith(CMonitorDlg& dlg, uint8_t replyAddress,
                                    const modbus::ExchangeParams& params) {
  const modbus::ExchangeLine line{
      dlg.m_comm, dlg.Clock(), [&dlg](std::span<const uint8_t> frame) { dlg.SendFrame(frame); },
      [&dlg](std::span<const uint8_t> dropped) { dlg.NotifyInputDiscarded(dropped); }};
  const modbus::ExchangeResult result = modbus::BlockingExchange(
      line, dlg.m_requestBuffer, dlg.m_receiveBuffer, replyAddress, params);
  if (params.replyLength != modbus::kNoSearch) {
    dlg.NotifyReadTaken(values::ReadSource::Command, result.received, replyAddress,
                        params.replyFunction, params.replyLength);
  }
  return result;
}

void DiscardInput(CMonitorDlg& dlg) {
  try {
    dlg.DiscardPendingInput();
  } catch (const serial::SerialError& error) {
    ReportLineFailure(dlg, error);
  }
}

CommandAddress TakeCommandAddress(CMonitorDlg& dlg) {
  if (!dlg.UpdateData(true)) return CommandAddress::BadEntry;
  if (dlg.m_slaveAddress == modbus::kBroadcastAddress) {
    dlg.AfxMessageBox(kBroadcastRefusal);
    return CommandAddress::Broadcast;
  }
  return CommandAddress::Usable;
}

bool BeginAddressedCommand(CMonitorDlg& dlg, QuietLineFirst quiet) {
  if (TakeCommandAddress(dlg) != CommandAddress::Usable) {
    DiscardInput(dlg);
    dlg.ResumePolling();
    return false;
  }
  if (quiet == QuietLineFirst::Wait) LetLineFallQuiet(dlg);
  return true;
}

void LetLineFallQuiet(CMonitorDlg& dlg) {
  if (!dlg.m_pollRequestSent) return;
  const uint32_t sincePollMs = dlg.Clock().GetTickCount() - dlg.m_lastPollRequestTick;
  if (sincePollMs >= dlg.m_pollPeriodMs) return;  // its reply is long in, or long lost
  // A first byte is worth waiting for only until the reply would have been in.
  const uint32_t dueMs = dlg.m_lastPollReplyDueMs;
  const uint32_t firstByteMs = dueMs > sincePollMs ? dueMs - sincePollMs : 0;
  try {
    modbus::WaitForQuietLine(dlg.m_comm, dlg.Clock(), modbus::QuietMsFor(dlg.m_baudRate),
                             firstByteMs, dlg.m_pollPeriodMs - sincePollMs);
  } catch (const serial::SerialError& error) {
    ReportLineFailure(dlg, error);
  }
}

}  // namespace kt::ui
