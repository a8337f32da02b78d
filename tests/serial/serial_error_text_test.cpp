// The Chinese text of every kind of serial refusal.
#include <gtest/gtest.h>

#include "serial/SerialErrorText.h"

namespace {

using kt::serial::SerialError;
using kt::serial::SerialErrorKind;

struct TextCase {
  SerialErrorKind kind;
  const char* device;
  const char* reason;
  const char* text;
};

TEST(SerialErrorText, NamesTheDeviceTheKindAndTheSystemsReason) {
  const TextCase cases[] = {
      {SerialErrorKind::NoSuchPort, "/dev/ttyUSB0", "No such file or directory",
       "串口 /dev/ttyUSB0 不存在（No such file or directory）"},
      {SerialErrorKind::AccessDenied, "/dev/ttyUSB0", "Permission denied",
       "串口 /dev/ttyUSB0 没有访问权限（请把用户加入 dialout 组后重新登录）"},
      {SerialErrorKind::PortInUse, "/dev/ttyUSB0", "Device or resource busy",
       "串口 /dev/ttyUSB0 已被其他程序占用（Device or resource busy）"},
      {SerialErrorKind::NotSerialDevice, "/dev/null", "Inappropriate ioctl for device",
       "串口 /dev/null 不是串口设备（Inappropriate ioctl for device）"},
      {SerialErrorKind::BadSettings, "/dev/ttyUSB0", "Invalid argument",
       "串口 /dev/ttyUSB0 不支持该通讯参数（Invalid argument）"},
      {SerialErrorKind::Disconnected, "/dev/ttyUSB0", "Input/output error",
       "串口 /dev/ttyUSB0 已断开（Input/output error）"},
      {SerialErrorKind::Rs485Unsupported, "/dev/ttyS1", "Inappropriate ioctl for device",
       "串口 /dev/ttyS1 不支持 RS-485 模式（Inappropriate ioctl for device）"},
      {SerialErrorKind::OpenFailed, "/dev/ttyUSB0", "Is a directory",
       "串口 /dev/ttyUSB0 无法使用（Is a directory）"},
      {SerialErrorKind::IoError, "/dev/ttyS1", "the port is not open",
       "串口 /dev/ttyS1 无法使用（the port is not open）"},
      {SerialErrorKind::IoError, "", "", "串口无法使用"},
      {SerialErrorKind::BadPortNumber, "70000", "port number 70000 is outside 1 to 32767",
       "串口号 70000 超出范围（1–32767）"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(kt::serial::SerialErrorText(SerialError(c.kind, c.device, c.reason)), c.text)
        << static_cast<int>(c.kind);
  }
}

}  // namespace
