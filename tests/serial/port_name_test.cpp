// Port numbers to devices: the environment override, the port list and refused numbers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeSysfs.h"
#include "serial/PortName.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"

using namespace kt::serial;

using kt::serial::testing::FakeSysfs;

// (What each listed or named number opens, an empty variable as not set: port_list_test; a
// number beyond the list: serial_error_text_test.)
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
