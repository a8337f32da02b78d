// Serial refusals in the user's language.
#include "serial/SerialErrorText.h"
#include "platform/SystemReasonText.h"

#include <cstdint>
#include <limits>

#include "serial/LineSettingsTable.h"
#include "serial/Rs485Mode.h"

namespace kt::serial {
namespace {

// "可用 1200、2400、4800、9600 或 19200 后接 N,8,2、O,8,1 或 E,8,1".
std::string AcceptedSettingsText() {
  const auto alternatives = [](const auto& rows, auto text) {
    std::string list;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (i > 0) list += i + 1 == rows.size() ? " 或 " : "、";
      list += text(rows[i]);
    }
    return list;
  };
  return "可用 " +
         alternatives(kBaudRows, [](const BaudRow& r) { return std::to_string(r.baudRate); }) +
         " 后接 " + alternatives(kParityRows, [](const ParityRow& r) {
           return std::string(r.settingsSuffix);
         });
}

std::string KindText(const SerialFault& f) {
  switch (f.kind) {
    case SerialErrorKind::BadPortNumber:
      return "超出范围";
    case SerialErrorKind::NoSuchPort:
      return "不存在";
    case SerialErrorKind::AccessDenied:
      return "没有访问权限";
    case SerialErrorKind::PortInUse:
      return "已被其他程序占用";
    case SerialErrorKind::NotSerialDevice:
      return "不是串口设备";
    case SerialErrorKind::BadSettings:
      return "不支持该通讯参数";
    case SerialErrorKind::Rs485Unsupported:
    case SerialErrorKind::Rs485ByDriver:
      return "不支持 RS-485 模式";
    case SerialErrorKind::BadAddress:
      return "地址无效";
    case SerialErrorKind::OpenFailed:
      return f.operation == SerialOperation::Connect ? "无法连接" : "无法打开";
    case SerialErrorKind::NotOpen:
      return "未打开";
    case SerialErrorKind::IoError:
      return f.operation == SerialOperation::Write ? "发送失败" : "接收失败";
    case SerialErrorKind::Disconnected:
      return f.operation == SerialOperation::Connect ? "无法连接" : "已断开";
    case SerialErrorKind::OutputStalled:
      return "输出受阻";
  }
  return "无法使用";
}

// What goes in the bracket when the system gave no error number.
std::string OwnReason(const SerialFault& f) {
  switch (f.kind) {
    case SerialErrorKind::BadPortNumber:
      return "1–" + std::to_string(std::numeric_limits<int16_t>::max());
    case SerialErrorKind::NoSuchPort:
      if (f.operation != SerialOperation::SelectPort) return "";
      return "本机找到 " + std::to_string(f.value) + " 个串口，可用 KT7340_" + f.device +
             " 指定设备";
    case SerialErrorKind::AccessDenied:
      return "请把用户加入 dialout 组后重新登录";
    case SerialErrorKind::Rs485ByDriver:
      return "Windows 上由串口适配器的驱动切换收发方向，请去掉 " + std::string(kRs485Variable);
    case SerialErrorKind::BadSettings:
      return f.systemError != 0 ? "" : AcceptedSettingsText();
    case SerialErrorKind::BadAddress:
      return "应为 tcp://数字地址:端口 或 tcp://localhost:端口";
    case SerialErrorKind::OutputStalled:
      if (f.operation == SerialOperation::Connect) return "连接尚未建立";
      return std::to_string(f.total) + " 毫秒内只发出 " + std::to_string(f.value) + " 字节";
    case SerialErrorKind::Disconnected:
      return f.operation == SerialOperation::Connect ? "" : "对方关闭了连接";
    case SerialErrorKind::PortInUse:
    case SerialErrorKind::NotSerialDevice:
    case SerialErrorKind::Rs485Unsupported:
    case SerialErrorKind::OpenFailed:
    case SerialErrorKind::NotOpen:
    case SerialErrorKind::IoError:
      return "";
  }
  return "";
}

}  // namespace

std::string SerialErrorText(const SerialError& error) {
  const SerialFault& f = error.fault();
  std::string reason = OwnReason(f);
  // The system's reason says why; a reason of our own says more and is kept.
  if (reason.empty() && f.systemError != 0) reason = platform::SystemReasonText(f.systemError);
  std::string text;
  if (f.kind == SerialErrorKind::BadPortNumber) {
    text = "串口号 " + std::to_string(f.value) + " " + KindText(f);
  } else {
    text = (f.device.empty() ? "串口" : "串口 " + f.device + " ") + KindText(f);
  }
  if (!reason.empty()) text += "（" + reason + "）";
  return text;
}

}  // namespace kt::serial
