// COM port paths, DCBs, timeouts and error codes.
#include "serial/win32/ComLine.h"

#include <algorithm>

#include "platform/win32/WideText.h"

namespace kt::serial::win32 {

std::wstring ComDevicePath(const std::string& device) {
  std::wstring wide = platform::win32::WideFromUtf8(device);
  if (wide.starts_with(L"\\\\.\\")) return wide;
  return L"\\\\.\\" + wide;
}

void MakeRawDcb(DCB& dcb, const LineSettings& settings) {
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
  dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
  switch (settings.parity) {
    case Parity::None:
      dcb.Parity = NOPARITY;
      break;
    case Parity::Odd:
      dcb.Parity = ODDPARITY;
      break;
    case Parity::Even:
      dcb.Parity = EVENPARITY;
      break;
  }
  dcb.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fTXContinueOnXoff = TRUE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fAbortOnError = FALSE;
}

COMMTIMEOUTS LineTimeouts(int writeTimeoutMs) {
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;  // with both totals 0: return at once
  t.ReadTotalTimeoutMultiplier = 0;
  t.ReadTotalTimeoutConstant = 0;
  t.WriteTotalTimeoutMultiplier = 0;
  t.WriteTotalTimeoutConstant = static_cast<DWORD>(std::max(writeTimeoutMs, 1));
  return t;
}

TransportResult OpenResultOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return TransportResult::NoDevice;
    // A COM port is opened by one program at a time: a refusal means another one holds it.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      return TransportResult::InUse;
    default:
      return TransportResult::Failed;
  }
}

TransportResult TransferResultOf(DWORD error) {
  switch (error) {
    // What Windows says once a USB adapter has been pulled; wine says "not ready" once the
    // terminal behind a COM port has gone.
    case ERROR_ACCESS_DENIED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_GEN_FAILURE:
    case ERROR_BAD_COMMAND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_NOT_READY:
      return TransportResult::DeviceGone;
    default:
      return TransportResult::Failed;
  }
}

}  // namespace kt::serial::win32
