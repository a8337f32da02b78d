// Port numbers to devices: the environment override, the port list and refused numbers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>

#include "FakeSysfs.h"

#include "serial/PortName.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"

using namespace kt::serial;

namespace {

using kt::serial::testing::FakeSysfs;

// A machine with one USB adapter and one on-board UART: ports 1 and 2.
void TwoPorts(FakeSysfs& fs) {
  fs.UsbDevice("usb1/1-1", {{"product", "FT232R USB UART"}});
  fs.Device("usb1/1-1/1-1:1.0/ttyUSB0", "usb-serial/drivers/ftdi_sio");
  fs.Tty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
  fs.Device("pnp0/00:05", "pnp/drivers/serial");
  fs.Tty("ttyS0", "pnp0/00:05", "4");
}

EnvironmentLookup FixedEnvironment(std::map<std::string, std::string> values) {
  return [values](const std::string& name) -> std::optional<std::string> {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

}  // namespace

// (What each listed or named number opens, an empty variable as not set: port_list_test.)
TEST(DevicePathForPort, RefusesANumberBeyondTheListAsAMissingPort) {
  FakeSysfs fs;
  TwoPorts(fs);
  for (int16_t port : {int16_t{3}, int16_t{32767}}) {
    SCOPED_TRACE(port);
    try {
      DevicePathForPort(port, PortSources{FixedEnvironment({}), fs.sys(), fs.dev()});
      ADD_FAILURE() << "accepted";
    } catch (const SerialError& e) {
      EXPECT_EQ(e.kind(), SerialErrorKind::NoSuchPort);
      const std::string n = std::to_string(port);
      EXPECT_EQ(SerialErrorText(e),
                "串口 COM" + n + " 不存在（本机找到 2 个串口，可用 KT7340_COM" + n + " 指定设备）");
    }
  }
}

TEST(DevicePathForPort, WithoutALookupReadsTheProcessEnvironment) {
  FakeSysfs fs;
  setenv("KT7340_COM1", "/dev/ttyUSB0", 1);
  setenv("KT7340_COM2", "", 1);
  const PortSources sources{{}, fs.sys(), fs.dev()};
  EXPECT_EQ(DevicePathForPort(1, sources), "/dev/ttyUSB0");
  EXPECT_THROW(DevicePathForPort(2, sources), SerialError);  // empty and no ports listed
  unsetenv("KT7340_COM1");
  unsetenv("KT7340_COM2");
  EXPECT_THROW(DevicePathForPort(1, sources), SerialError);
}

TEST(DevicePathForPort, RefusesNumbersBelowOne) {
  for (int16_t port : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
    SCOPED_TRACE(port);
    try {
      DevicePathForPort(port);
      ADD_FAILURE() << "accepted";
    } catch (const SerialError& e) {
      EXPECT_EQ(e.kind(), SerialErrorKind::BadPortNumber);
      EXPECT_EQ(SerialErrorText(e), "串口号 " + std::to_string(port) + " 超出范围（1–32767）");
    }
  }
}

TEST(PosixSerialPort, RefusesAPortNumberBelowOneWhenItIsSet) {
  PosixSerialPort port;
  setenv("KT7340_COM1", "/nonexistent/kt7340-port-1", 1);
  EXPECT_THROW(port.SetCommPort(0), SerialError);
  // The earlier selection (port 1) is kept: opening fails on its device, not on port 0.
  try {
    port.SetPortOpen(true);
    ADD_FAILURE() << "opened";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::NoSuchPort);
    EXPECT_EQ(e.device(), "/nonexistent/kt7340-port-1");
  }
  EXPECT_FALSE(port.GetPortOpen());
}
