// Serial refusals in the user's language.
#include "serial/SerialErrorText.h"

#include <cstdint>
#include <limits>

namespace kt::serial {
namespace {

const char* KindText(SerialErrorKind kind) {
  switch (kind) {
    case SerialErrorKind::NoSuchPort:
      return "不存在";
    case SerialErrorKind::AccessDenied:
      return "没有访问权限（请把用户加入 dialout 组后重新登录）";
    case SerialErrorKind::PortInUse:
      return "已被其他程序占用";
    case SerialErrorKind::NotSerialDevice:
      return "不是串口设备";
    case SerialErrorKind::BadSettings:
      return "不支持该通讯参数";
    case SerialErrorKind::Disconnected:
      return "已断开";
    case SerialErrorKind::OutputStalled:
      return "输出受阻";
    case SerialErrorKind::Rs485Unsupported:
      return "不支持 RS-485 模式";
    default:
      return "无法使用";
  }
}

}  // namespace

std::string SerialErrorText(const SerialError& error) {
  if (error.kind() == SerialErrorKind::BadPortNumber) {
    const std::string number = error.device().empty() ? "" : " " + error.device();
    return "串口号" + number + " 超出范围（1–" +
           std::to_string(std::numeric_limits<int16_t>::max()) + "）";
  }
  std::string text = error.device().empty() ? "串口" : "串口 " + error.device() + " ";
  text += KindText(error.kind());
  // The permission hint already ends in brackets; the system's words would only repeat it.
  if (error.kind() != SerialErrorKind::AccessDenied && !error.reason().empty()) {
    text += "（" + error.reason() + "）";
  }
  return text;
}

}  // namespace kt::serial
