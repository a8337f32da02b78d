// Port numbers to devices: the environment override, the ttyS default and refused numbers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "serial/PortName.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"

using namespace kt::serial;

TEST(DevicePathForPort, DefaultsToTheTtySDeviceBelowTheNumber) {
  unsetenv("KT7340_COM1");
  unsetenv("KT7340_COM12");
  EXPECT_EQ(DevicePathForPort(1), "/dev/ttyS0");
  EXPECT_EQ(DevicePathForPort(12), "/dev/ttyS11");
  EXPECT_EQ(DevicePathForPort(32767), "/dev/ttyS32766");
}

TEST(DevicePathForPort, TakesTheDeviceFromTheEnvironmentPerPort) {
  setenv("KT7340_COM1", "/dev/ttyUSB0", 1);
  setenv("KT7340_COM2", "", 1);  // empty counts as not set
  unsetenv("KT7340_COM3");
  EXPECT_EQ(PortEnvironmentVariable(1), "KT7340_COM1");
  EXPECT_EQ(DevicePathForPort(1), "/dev/ttyUSB0");
  EXPECT_EQ(DevicePathForPort(2), "/dev/ttyS1");
  EXPECT_EQ(DevicePathForPort(3), "/dev/ttyS2");
  unsetenv("KT7340_COM1");
  EXPECT_EQ(DevicePathForPort(1), "/dev/ttyS0");
}

TEST(DevicePathForPort, RefusesNumbersBelowOne) {
  for (int16_t port : {int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
    SCOPED_TRACE(port);
    try {
      DevicePathForPort(port);
      ADD_FAILURE() << "accepted";
    } catch (const SerialError& e) {
      EXPECT_EQ(e.kind(), SerialErrorKind::BadPortNumber);
      EXPECT_NE(e.reason().find(std::to_string(port)), std::string::npos) << e.reason();
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
