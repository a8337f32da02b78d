// The system error codes (GetLastError, WSAGetLastError) in the system's own words, in the
// user's language; a device server's connection failures in the words Linux shows.
// winsock2.h before windows.h, which would otherwise bring the old winsock.h.
#include <winsock2.h>

#include <windows.h>

#include <string>

#include "platform/SocketReasonText.h"
#include "platform/SystemReasonText.h"
#include "platform/win32/WideText.h"

namespace kt::platform {
namespace {

// The system's message without its line end and final full stop.
std::wstring SystemMessage(DWORD code) {
  wchar_t buffer[512];
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                     buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring message(buffer, length);
  while (!message.empty() &&
         (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
          message.back() == L'.' || message.back() == L'\x3002')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

std::string SystemReasonText(int systemError) {
  // A device server's connection: the same words as on Linux.
  switch (systemError) {
    case WSAECONNREFUSED:
      return socket_reasons::kRefused;
    case WSAETIMEDOUT:
      return socket_reasons::kTimedOut;
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH:
      return socket_reasons::kUnreachable;
    case WSAECONNRESET:
      return socket_reasons::kReset;
    default:
      break;
  }
  const std::string message = win32::Utf8FromWide(SystemMessage(static_cast<DWORD>(systemError)));
  const std::string code = "错误码 " + std::to_string(systemError);
  return message.empty() ? code : message + "，" + code;
}

}  // namespace kt::platform
