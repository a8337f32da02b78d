// The nine accesses over any transport: counts, bounds, end of input and error kinds, once.
#include "serial/SerialLine.h"

#include <algorithm>

#include "serial/PlatformTransport.h"
#include "serial/Rs485Mode.h"

namespace kt::serial {
namespace {

// Milliseconds the line needs for `bytes` characters at `settings` (start, data, parity, stop).
int TransmissionMs(size_t bytes, const LineSettings& settings) {
  const int bitsPerChar =
      1 + settings.dataBits + (settings.parity != Parity::None ? 1 : 0) + settings.stopBits;
  const long long bits = static_cast<long long>(bytes) * bitsPerChar;
  const long long baud = std::max(settings.baudRate, 1);
  return static_cast<int>(std::min<long long>((bits * 1000 + baud - 1) / baud, 1 << 30));
}

// The kind a transport result stands for, given what was being done.
SerialErrorKind KindOf(TransportResult result, SerialOperation operation) {
  const bool opening = operation == SerialOperation::Open || operation == SerialOperation::Connect;
  switch (result) {
    case TransportResult::Done:
    case TransportResult::Pending:
    case TransportResult::Failed:
      return opening ? SerialErrorKind::OpenFailed : SerialErrorKind::IoError;
    case TransportResult::TimedOut:
      return SerialErrorKind::OutputStalled;
    case TransportResult::EndOfInput:
    case TransportResult::DeviceGone:
      return SerialErrorKind::Disconnected;
    case TransportResult::NoDevice:
      return SerialErrorKind::NoSuchPort;
    case TransportResult::AccessDenied:
      return SerialErrorKind::AccessDenied;
    case TransportResult::InUse:
      return SerialErrorKind::PortInUse;
    case TransportResult::NotATerminal:
      return SerialErrorKind::NotSerialDevice;
    case TransportResult::SettingsRefused:
      return SerialErrorKind::BadSettings;
    case TransportResult::Rs485Refused:
      return SerialErrorKind::Rs485Unsupported;
    case TransportResult::Rs485ByDriver:
      return SerialErrorKind::Rs485ByDriver;
    case TransportResult::ConnectFailed:
      // Refused while opening; found later, the connection is as lost as a pulled adapter.
      return operation == SerialOperation::Connect ? SerialErrorKind::OpenFailed
                                                   : SerialErrorKind::Disconnected;
    case TransportResult::BadAddress:
      return SerialErrorKind::BadAddress;
  }
  return SerialErrorKind::IoError;
}

}  // namespace

SerialLine::SerialLine(int writeStallTimeoutMs) : writeStallTimeoutMs_(writeStallTimeoutMs) {}

SerialLine::~SerialLine() = default;

void SerialLine::SetCommPort(int16_t port) {
  if (port < 1) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::BadPortNumber,
                                  .operation = SerialOperation::SelectPort,
                                  .value = port});
  }
  port_ = port;
  resolved_.reset();  // the user chose the port: the next open asks the list again
}

void SerialLine::SetSettings(const std::string& settings) {
  const LineSettings parsed = ParseLineSettings(settings, DeviceName());
  if (GetPortOpen()) {
    const TransportStatus applied = transport_->ApplySettings(parsed);
    if (applied.result != TransportResult::Done) Fail(SerialOperation::Settings, applied);
  }
  settings_ = parsed;
}

void SerialLine::SetPortOpen(bool open) {
  if (!open) {
    DropTransport();
    return;
  }
  if (GetPortOpen()) return;
  if (!resolved_) resolved_ = ResolvePort(port_, sources_);
  const std::optional<std::string> device = FindPortDevice(*resolved_, sources_);
  if (!device) {
    // The adapter is away; its old name may belong to another one now.
    throw SerialError(SerialFault{.kind = SerialErrorKind::NoSuchPort,
                                  .operation = SerialOperation::Open,
                                  .device = resolved_->path,
                                  .detail = "the adapter is not plugged in"});
  }
  std::unique_ptr<Transport> transport =
      MakePlatformTransport(*device, Rs485Requested(environment_));
  const TransportStatus opened = transport->Open(settings_);
  const bool tcp = device->starts_with("tcp://");
  const SerialOperation operation = tcp ? SerialOperation::Connect : SerialOperation::Open;
  if (opened.result != TransportResult::Done) {
    throw SerialError(SerialFault{.kind = KindOf(opened.result, operation),
                                  .operation = operation,
                                  .device = *device,
                                  .systemError = opened.systemError});
  }
  // A refusal already in is told now; the window never waits for the connection.
  const TransportStatus made = transport->FinishOpening(0);
  if (made.result != TransportResult::Done && made.result != TransportResult::Pending) {
    throw SerialError(SerialFault{.kind = KindOf(made.result, SerialOperation::Connect),
                                  .operation = SerialOperation::Connect,
                                  .device = *device,
                                  .systemError = made.systemError});
  }
  DropTransport();
  transport_ = std::move(transport);
  openDevice_ = *device;
  resolved_->path = *device;  // an adapter that came back under another name stays there
}

bool SerialLine::GetPortOpen() const {
  return transport_ && transport_->IsOpen();
}

void SerialLine::SetInputLen(int16_t length) {
  inputLen_ = std::max<int16_t>(length, 0);
}

void SerialLine::SetInBufferCount(int16_t count) {
  if (count != 0 || !GetPortOpen() || !Connected()) return;
  const TransportStatus dropped = transport_->Discard(kMaxDiscardBytes);
  if (dropped.result != TransportResult::Done) Fail(SerialOperation::Discard, dropped);
}

int16_t SerialLine::GetInBufferCount() {
  if (!GetPortOpen()) return 0;
  return static_cast<int16_t>(
      std::min(Waiting(SerialOperation::Count), static_cast<size_t>(kMaxInBufferCount)));
}

std::vector<uint8_t> SerialLine::GetInput() {
  if (!GetPortOpen()) return {};
  size_t wanted = std::min(Waiting(SerialOperation::Read), static_cast<size_t>(kMaxInBufferCount));
  if (inputLen_ > 0) wanted = std::min(wanted, static_cast<size_t>(inputLen_));
  std::vector<uint8_t> input(wanted);
  size_t got = 0;
  while (got < input.size()) {
    const TransportStatus r = transport_->Read(std::span(input).subspan(got));
    if (r.result == TransportResult::Pending || (r.result == TransportResult::Done && r.bytes == 0))
      break;
    if (r.result != TransportResult::Done) Fail(SerialOperation::Read, r);
    got += r.bytes;
  }
  input.resize(got);
  return input;
}

void SerialLine::SetOutput(const std::vector<uint8_t>& bytes) {
  if (!GetPortOpen()) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::NotOpen,
                                  .operation = SerialOperation::Write,
                                  .device = DeviceName()});
  }
  // A device that takes the frame takes it within its own transmission time; a little more
  // than that, and never more than the stall limit, is all the window waits.
  const int boundMs =
      std::min(writeStallTimeoutMs_, TransmissionMs(bytes.size(), settings_) + kWriteMarginMs);
  if (!Connected()) return Hold(bytes, boundMs);
  const TransportStatus sent = transport_->Write(bytes, boundMs);
  if (sent.result != TransportResult::Done) {
    Fail(SerialOperation::Write, sent, sent.result == TransportResult::TimedOut ? boundMs : 0);
  }
}

std::string SerialLine::DeviceName() const {
  if (GetPortOpen()) return openDevice_;
  return resolved_ ? resolved_->path : std::string();
}

void SerialLine::Fail(SerialOperation operation, const TransportStatus& status, int64_t total) {
  const SerialErrorKind kind = KindOf(status.result, operation);
  SerialFault fault{.kind = kind,
                    .operation = operation,
                    .device = openDevice_,
                    .systemError = status.systemError,
                    .value = static_cast<int64_t>(status.bytes),
                    .total = total};
  if (kind == SerialErrorKind::Disconnected) {
    // Nothing more can pass: let the device go, so that it can come back.
    DropTransport();
  }
  throw SerialError(std::move(fault));
}

bool SerialLine::Ready(int waitMs) {
  const TransportStatus made = transport_->FinishOpening(waitMs);
  if (made.result == TransportResult::Pending) return false;
  if (made.result != TransportResult::Done) {
    // A connection that never came is as lost as a pulled adapter: the port closes itself.
    SerialFault fault{.kind = SerialErrorKind::Disconnected,
                      .operation = SerialOperation::Connect,
                      .device = openDevice_,
                      .systemError = made.systemError};
    DropTransport();
    throw SerialError(std::move(fault));
  }
  return true;
}

bool SerialLine::Connected() {
  if (!Ready(0)) return false;
  connectStalled_ = false;
  if (held_.empty()) return true;
  const std::vector<uint8_t> frame = std::move(held_);
  held_.clear();
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      heldUntil_ - std::chrono::steady_clock::now());
  // Too late: its reply is no longer awaited, and it could meet the next request on the wire.
  if (left.count() <= 0) return true;
  const int boundMs = static_cast<int>(left.count());
  const TransportStatus sent = transport_->Write(frame, boundMs);
  if (sent.result != TransportResult::Done) {
    Fail(SerialOperation::Write, sent, sent.result == TransportResult::TimedOut ? boundMs : 0);
  }
  return true;
}

void SerialLine::Hold(const std::vector<uint8_t>& bytes, int boundMs) {
  const auto now = std::chrono::steady_clock::now();
  // One frame at a time, and none once a kept one found no connection in time.
  if (!held_.empty() && now >= heldUntil_) connectStalled_ = true;
  if (connectStalled_ || !held_.empty() || bytes.size() > kMaxHeldBytes) {
    if (connectStalled_) held_.clear();
    throw SerialError(SerialFault{.kind = SerialErrorKind::OutputStalled,
                                  .operation = SerialOperation::Connect,
                                  .device = openDevice_,
                                  .total = boundMs});
  }
  held_ = bytes;
  heldUntil_ = now + std::chrono::milliseconds(boundMs);
}

void SerialLine::DropTransport() {
  transport_.reset();
  openDevice_.clear();
  held_.clear();
  connectStalled_ = false;
}

size_t SerialLine::Waiting(SerialOperation operation) {
  if (!Connected()) return 0;
  const TransportStatus waiting = transport_->BytesWaiting();
  if (waiting.result != TransportResult::Done) Fail(operation, waiting);
  return waiting.bytes;
}

}  // namespace kt::serial
