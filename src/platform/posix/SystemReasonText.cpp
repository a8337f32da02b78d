// The system's error numbers (errno) in the user's words.
#include <cerrno>
#include <cstring>

#include "platform/SocketReasonText.h"
#include "platform/SystemReasonText.h"

namespace kt::platform {

std::string SystemReasonText(int systemError) {
  switch (systemError) {
    case ENOENT:
      return "没有这个设备文件";
    case EACCES:
    case EPERM:
      return "权限不足";
    case EBUSY:
    case EWOULDBLOCK:
      return "设备正被使用";
    case ENOTTY:
      return "该设备不接受串口设置";
    case ECONNREFUSED:
      return socket_reasons::kRefused;
    case ETIMEDOUT:
      return socket_reasons::kTimedOut;
    case EHOSTUNREACH:
    case ENETUNREACH:
      return socket_reasons::kUnreachable;
    case ECONNRESET:
      return socket_reasons::kReset;
    case EPIPE:
      return "连接已被对方关闭";
    case EIO:
      return "设备输入输出错误";
    case ENXIO:
    case ENODEV:
      return "设备已不存在";
    case EINVAL:
      return "设备不接受该参数";
    case EISDIR:
      return "这是一个文件夹";
    case ENOMEM:
    case ENOBUFS:
      return "系统内存不足";
    case EMFILE:
    case ENFILE:
      return "打开的文件过多";
    default:
      // An unexpected number: the system's own words, so that it can still be looked up.
      return std::string(std::strerror(systemError)) + "，错误码 " + std::to_string(systemError);
  }
}

}  // namespace kt::platform
