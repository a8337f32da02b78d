// A device server's connection failures in the user's words, the same on every platform
// (each platform's SystemReasonText gives them for its own error numbers).
#pragma once

namespace kt::platform::socket_reasons {

inline constexpr const char* kRefused = "对方拒绝连接";
inline constexpr const char* kTimedOut = "连接超时";
inline constexpr const char* kUnreachable = "网络不可达";
inline constexpr const char* kReset = "连接被对方重置";

}  // namespace kt::platform::socket_reasons
