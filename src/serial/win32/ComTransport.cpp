// COM ports: exclusive open, a DCB for the settings, counts from ClearCommError.
#include "serial/win32/ComTransport.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "serial/win32/ComLine.h"

namespace kt::serial::win32 {
namespace {

TransportStatus Failure(TransportResult result, DWORD error, size_t bytes = 0) {
  return TransportStatus{result, static_cast<int>(error), bytes};
}

// A refused setting, unless the device has gone (then it is lost like in any transfer).
TransportStatus SettingsFailure(DWORD error) {
  const TransportResult transfer = TransferResultOf(error);
  return Failure(
      transfer == TransportResult::DeviceGone ? transfer : TransportResult::SettingsRefused, error);
}

// One call moves at most this much, so that the count fits a DWORD.
DWORD ChunkOf(size_t size) {
  return static_cast<DWORD>(std::min<size_t>(size, INT_MAX));
}

}  // namespace

ComTransport::ComTransport(std::string device, bool rs485)
    : device_(std::move(device)), rs485_(rs485) {}

ComTransport::~ComTransport() {
  Release();
}

TransportStatus ComTransport::Open(const LineSettings& settings) {
  if (rs485_) {
    // The adapter's driver switches the direction on Windows; the line cannot ask for it.
    return Failure(TransportResult::Rs485ByDriver, ERROR_SUCCESS);
  }
  const std::wstring path = ComDevicePath(device_);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    return Failure(OpenResultOf(e), e);
  }
  handle_ = h;
  writeTimeoutMs_ = -1;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle_, &dcb)) {
    const DWORD e = GetLastError();
    Close();
    return Failure(TransportResult::NotATerminal, e);
  }
  TransportStatus status = ApplySettings(settings);
  if (status.result == TransportResult::Done && !UseWriteTimeout(1)) {
    const DWORD e = GetLastError();
    status = Failure(TransportResult::SettingsRefused, e);
  }
  if (status.result != TransportResult::Done) Close();
  return status;
}

void ComTransport::Close() {
  Release();
}

void ComTransport::Release() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
}

TransportStatus ComTransport::FinishOpening(int /*waitMs*/) {
  return {};
}

TransportStatus ComTransport::ApplySettings(const LineSettings& settings) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle_, &dcb)) return SettingsFailure(GetLastError());
  MakeRawDcb(dcb, settings);
  if (SetCommState(handle_, &dcb)) return {};
  const DWORD refused = GetLastError();
  if (refused != ERROR_INVALID_PARAMETER || settings.parity == Parity::None) {
    return SettingsFailure(refused);
  }
  // wine on a pseudo-terminal refuses odd or even parity asked of a line that has it already,
  // though it takes it from a line without parity: that way round, once more.
  DCB plain = dcb;
  plain.Parity = NOPARITY;
  plain.StopBits = TWOSTOPBITS;
  if (!SetCommState(handle_, &plain) || !SetCommState(handle_, &dcb)) {
    return SettingsFailure(GetLastError());
  }
  return {};
}

TransportStatus ComTransport::BytesWaiting() {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(handle_, &errors, &stat)) {
    const DWORD e = GetLastError();
    return Failure(TransferResultOf(e), e);
  }
  return TransportStatus{TransportResult::Done, 0, stat.cbInQue};
}

TransportStatus ComTransport::Read(std::span<uint8_t> into) {
  DWORD got = 0;
  if (!ReadFile(handle_, into.data(), ChunkOf(into.size()), &got, nullptr)) {
    const DWORD e = GetLastError();
    return Failure(TransferResultOf(e), e);
  }
  return TransportStatus{TransportResult::Done, 0, got};
}

TransportStatus ComTransport::Discard(size_t /*limit*/) {
  // The driver drops its whole queue at once without copying a byte: no bound needed.
  if (!PurgeComm(handle_, PURGE_RXCLEAR)) {
    const DWORD e = GetLastError();
    return Failure(TransferResultOf(e), e);
  }
  return {};
}

TransportStatus ComTransport::Write(std::span<const uint8_t> bytes, int timeoutMs) {
  if (!UseWriteTimeout(timeoutMs)) {
    const DWORD e = GetLastError();
    return Failure(TransferResultOf(e), e);
  }
  // One call waits at most the write timeout; what it did not take by then stays unsent.
  DWORD sent = 0;
  if (!WriteFile(handle_, bytes.data(), ChunkOf(bytes.size()), &sent, nullptr)) {
    const DWORD e = GetLastError();
    return Failure(TransferResultOf(e), e, sent);
  }
  if (sent < bytes.size()) return Failure(TransportResult::TimedOut, 0, sent);
  return TransportStatus{TransportResult::Done, 0, sent};
}

bool ComTransport::UseWriteTimeout(int timeoutMs) {
  if (timeoutMs == writeTimeoutMs_) return true;
  COMMTIMEOUTS timeouts = LineTimeouts(timeoutMs);
  if (!SetCommTimeouts(handle_, &timeouts)) return false;
  writeTimeoutMs_ = timeoutMs;
  return true;
}

}  // namespace kt::serial::win32
