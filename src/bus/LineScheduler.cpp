// The shared line's schedule: who owns the bytes that come, and when the bus may send.
#include "bus/LineScheduler.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "bus/LineTimes.h"
#include "modbus/FindFrame.h"
#include "modbus/FrameFields.h"
#include "modbus/RequestFrames.h"
#include "serial/LineSettings.h"
#include "serial/SerialError.h"

namespace kt::bus {
namespace {

constexpr size_t kMainInputLimit = 32767;  // what a port holds; older bytes give way
constexpr int kPullsPerAccess = 4;         // reads of the line at one access, at most
constexpr uint8_t kWriteSingleRegister = 0x06;
constexpr uint8_t kWriteMultipleRegisters = 0x10;
constexpr uint8_t kReadInputRegisters = 0x04;
// The hosts' poll timers keep their phase from the moment they were set and fire on time or
// late, never early (Qt's precise timers, WM_TIMER); this keeps the bus clear of rounding.
constexpr uint32_t kPollTickGuardMs = 10;
// A meter whose answer time is known may be asked when its exchange, answered that fast, ends
// by the main dialog's poll tick; its whole allowance may reach this far past the tick, so a
// late or missing reply holds the main dialog's send (on its thread) at most this long.
constexpr int64_t kPastMainTickMs = 50;
// While a reply may begin at any moment, the line is looked at this often (the programs' tick).
constexpr uint32_t kReplyLookMs = 10;

// Signed difference of two wrapping ticks.
int32_t Since(uint32_t now, uint32_t then) {
  return static_cast<int32_t>(now - then);
}

uint32_t Until(uint32_t now, uint32_t then) {
  return Since(then, now) > 0 ? then - now : 0;
}

// The reply a request of the main dialog waits for: 0 bytes for a broadcast or a function it
// does not know (its exchange then ends with its time).
int16_t ExpectedReplyLength(const std::vector<uint8_t>& frame) {
  if (frame.size() < 2 || frame[0] == modbus::kBroadcastAddress) return 0;
  const uint8_t function = frame[1];
  if ((function == modbus::kReadHoldingRegisters || function == kReadInputRegisters) &&
      frame.size() >= 6) {
    return modbus::ReadReplyLength(static_cast<uint16_t>(frame[4] << 8 | frame[5]));
  }
  if (function == kWriteSingleRegister || function == kWriteMultipleRegisters) return 8;
  return 0;
}

// Whether the exchange of `r` leaves the line to the main dialog's poll tick `untilTickMs` ahead.
bool EndsByMainTick(const BusRequest& r, int32_t baudRate, int64_t untilTickMs) {
  const int requestBytes = static_cast<int>(r.frame.size());
  const int replyBytes = r.replyLength + r.trailingBytes;
  const int64_t whole = ExchangeMs(baudRate, requestBytes, replyBytes, r.allowanceMs);
  if (whole <= untilTickMs - kPollTickGuardMs) return true;
  // A meter not heard from would hold the main dialog on every try.
  if (r.knownAnswerMs == 0) return false;
  return ExchangeMs(baudRate, requestBytes, replyBytes, r.knownAnswerMs) <= untilTickMs &&
         whole <= untilTickMs + kPastMainTickMs;
}

}  // namespace

LineScheduler::LineScheduler(serial::SerialControl& line, modbus::Clock& clock)
    : line_(line), clock_(clock), quietFrom_(clock.GetTickCount()) {}

void LineScheduler::MainPollTimer(uint32_t periodMs) {
  pollPeriodMs_ = periodMs;
  pollAnchor_ = clock_.GetTickCount();
}

std::optional<uint32_t> LineScheduler::NextMainTick(uint32_t now) const {
  if (pollPeriodMs_ == 0) return std::nullopt;
  const uint32_t periods = (now - pollAnchor_) / pollPeriodMs_ + 1;
  return pollAnchor_ + periods * pollPeriodMs_;
}

void LineScheduler::SetClient(LineClient* client) {
  client_ = client;
  if (open_ && open_->bus) open_->request = {};  // settles unseen
}

void LineScheduler::Tick() {
  try {
    Pull();
    Settle();
    if (open_ || client_ == nullptr || !line_.GetPortOpen()) return;
    const uint32_t now = clock_.GetTickCount();
    if (!LineQuiet(now)) return;
    const std::optional<uint32_t> next = NextMainTick(now);
    const int64_t untilTickMs = next ? Since(*next, now) : INT32_MAX;
    std::optional<BusRequest> request = client_->NextRequest(
        [&](const BusRequest& r) { return EndsByMainTick(r, baudRate_, untilTickMs); });
    if (!request) return;
    SendBusRequest(std::move(*request), now);
  } catch (const serial::SerialError& e) {
    // The main dialog meets the same error at its next access and reports it.
    lineError_ = e;
    if (open_ && open_->bus) CloseExchange(true);
  }
}

std::optional<uint32_t> LineScheduler::MsUntilTick(uint32_t now) const {
  const uint32_t quietBy = quietFrom_ + SilenceMs(baudRate_);
  if (!open_) {
    if (LineQuiet(now)) return std::nullopt;
    return std::max<uint32_t>(1, Until(now, quietBy));
  }
  const OpenExchange& e = *open_;
  const auto replyBytes = static_cast<size_t>(e.replyLength);
  const uint32_t replyBy = e.sentAt + e.requestMs + BytesMs(baudRate_, e.replyLength);
  uint32_t next = kReplyLookMs;  // a reply may begin at any moment
  if (Since(now, replyBy) < 0) {
    next = Until(now, replyBy);
  } else if (!e.bytes.empty() && e.bytes.size() < replyBytes) {
    next = BytesMs(baudRate_, static_cast<int>(replyBytes - e.bytes.size()));  // its rest
  } else if (!e.bytes.empty() && Since(now, quietBy) < 0) {
    next = Until(now, quietBy);  // what may follow the reply, or the silence
  }
  return std::max<uint32_t>(1, std::min(next, Until(now, e.deadline)));
}

void LineScheduler::Pull() {
  if (!line_.GetPortOpen()) return;
  for (int pull = 0; pull < kPullsPerAccess; ++pull) {
    const int16_t count = line_.GetInBufferCount();
    if (count <= 0) return;
    std::vector<uint8_t> bytes = line_.GetInput();
    if (bytes.empty()) return;
    // All that was counted came (what comes meanwhile waits for the next tick); else the input
    // length cut the read, and the rest is read now.
    const bool whole = bytes.size() >= static_cast<size_t>(count);
    quietFrom_ = clock_.GetTickCount();
    if (open_) open_->bytes.insert(open_->bytes.end(), bytes.begin(), bytes.end());
    if (!open_ || !open_->bus) {
      mainInput_.insert(mainInput_.end(), bytes.begin(), bytes.end());
      if (mainInput_.size() > kMainInputLimit) {
        mainInput_.erase(
            mainInput_.begin(),
            mainInput_.begin() + static_cast<long>(mainInput_.size() - kMainInputLimit));
      }
    }
    if (whole) return;
  }
}

void LineScheduler::Settle() {
  if (!open_) return;
  const OpenExchange& e = *open_;
  const uint32_t now = clock_.GetTickCount();
  bool settled = false;
  if (e.replyLength > 0) {
    const int16_t at = modbus::FindReply(e.bytes, modbus::SlaveAddress(e.address),
                                         modbus::FunctionCode(e.function), e.replyLength);
    if (at >= 0) {
      // What may follow the reply comes at once: it is in, or the line fell quiet without it.
      const size_t after = e.bytes.size() - static_cast<size_t>(at + e.replyLength);
      settled = after >= static_cast<size_t>(e.trailingBytes) || LineQuiet(now);
    } else {
      settled = modbus::CheckReply(e.bytes, e.address, e.function, e.replyLength).outcome ==
                modbus::ReplyOutcome::Exception;
    }
  } else {
    settled = Since(now, e.sentAt) >= static_cast<int32_t>(e.requestMs);
  }
  if (settled || Since(now, e.deadline) >= 0) CloseExchange(false);
}

void LineScheduler::CloseExchange(bool lineClosed) {
  OpenExchange e = std::move(*open_);
  open_.reset();
  if (!e.bus || client_ == nullptr || e.request.frame.empty()) return;
  ExchangeResult result;
  result.lineClosed = lineClosed;
  if (!lineClosed) {
    result.verdict = modbus::CheckReply(e.bytes, e.address, e.function, e.replyLength);
    result.replyPos = modbus::FindReply(e.bytes, modbus::SlaveAddress(e.address),
                                        modbus::FunctionCode(e.function), e.replyLength);
    // The reply and what followed it.
    const int replyBytes =
        result.replyPos >= 0 ? static_cast<int>(e.bytes.size()) - result.replyPos : e.replyLength;
    const int32_t answer = Since(quietFrom_, e.sentAt) - static_cast<int32_t>(e.requestMs) -
                           static_cast<int32_t>(BytesMs(baudRate_, replyBytes));
    result.answerMs = static_cast<uint32_t>(std::max(answer, 0));
  }
  result.bytes = std::move(e.bytes);
  client_->ExchangeDone(e.request, result);
}

bool LineScheduler::LineQuiet(uint32_t now) const {
  return Since(now, quietFrom_) >= static_cast<int32_t>(SilenceMs(baudRate_));
}

void LineScheduler::SendBusRequest(BusRequest request, uint32_t now) {
  OpenExchange e;
  e.bus = true;
  e.request = std::move(request);
  e.sentAt = now;
  e.requestMs = BytesMs(baudRate_, static_cast<int>(e.request.frame.size()));
  e.deadline = now + e.requestMs +
               BytesMs(baudRate_, e.request.replyLength + e.request.trailingBytes) +
               e.request.allowanceMs;
  e.address = e.request.address;
  e.function = e.request.function;
  e.replyLength = e.request.replyLength;
  e.trailingBytes = e.request.trailingBytes;
  quietFrom_ = now + e.requestMs;
  open_ = std::move(e);
  line_.SetOutput(open_->request.frame);
}

void LineScheduler::MainSends(const std::vector<uint8_t>& frame) {
  Pull();
  Settle();
  // A bus request still on the wire: the main dialog waits for it, as a blocking exchange waits.
  if (open_ && open_->bus) {
    while (open_ && open_->bus) {
      clock_.Sleep(1);
      Pull();
      Settle();
    }
    const uint32_t quietBy = clock_.GetTickCount() + 2 * SilenceMs(baudRate_);
    while (!LineQuiet(clock_.GetTickCount()) && Since(clock_.GetTickCount(), quietBy) < 0) {
      clock_.Sleep(1);
      Pull();
    }
  }
  line_.SetOutput(frame);
  if (client_ != nullptr && frame.size() >= 2 &&
      (frame[1] == kWriteSingleRegister || frame[1] == kWriteMultipleRegisters)) {
    client_->MainDialogWrote(frame[0]);
  }
  const uint32_t now = clock_.GetTickCount();
  OpenExchange e;
  e.sentAt = now;
  e.requestMs = BytesMs(baudRate_, static_cast<int>(frame.size()));
  e.replyLength = ExpectedReplyLength(frame);
  e.address = frame.empty() ? 0 : frame[0];
  e.function = frame.size() < 2 ? 0 : frame[1];
  e.deadline = now + e.requestMs + BytesMs(baudRate_, e.replyLength) + kLongestAnswerMs;
  quietFrom_ = now + e.requestMs;
  open_ = std::move(e);
}

void LineScheduler::LineClosed() {
  mainInput_.clear();
  if (open_ && open_->bus) {
    CloseExchange(true);
  } else {
    open_.reset();
  }
}

// ---- The main dialog's serial control ----

void LineScheduler::MainDialogPort::SetCommPort(int16_t port) {
  owner_.line_.SetCommPort(port);
}

void LineScheduler::MainDialogPort::SetSettings(const std::string& settings) {
  owner_.line_.SetSettings(settings);
  owner_.baudRate_ = serial::ParseLineSettings(settings, "").baudRate;
}

void LineScheduler::MainDialogPort::SetPortOpen(bool open) {
  if (!open) owner_.LineClosed();
  owner_.line_.SetPortOpen(open);
  owner_.quietFrom_ = owner_.clock_.GetTickCount();
}

bool LineScheduler::MainDialogPort::GetPortOpen() const {
  return owner_.line_.GetPortOpen();
}

void LineScheduler::MainDialogPort::SetInputLen(int16_t length) {
  owner_.line_.SetInputLen(length);
}

void LineScheduler::MainDialogPort::SetInBufferCount(int16_t count) {
  owner_.Pull();
  owner_.Settle();
  if (count == 0) owner_.mainInput_.clear();
}

int16_t LineScheduler::MainDialogPort::GetInBufferCount() {
  owner_.Pull();
  owner_.Settle();
  return static_cast<int16_t>(std::min(owner_.mainInput_.size(), kMainInputLimit));
}

std::vector<uint8_t> LineScheduler::MainDialogPort::GetInput() {
  owner_.Pull();
  owner_.Settle();
  return std::exchange(owner_.mainInput_, {});
}

void LineScheduler::MainDialogPort::SetOutput(const std::vector<uint8_t>& bytes) {
  owner_.MainSends(bytes);
}

}  // namespace kt::bus
