// Port numbers to devices: the environment override, the port list and refused numbers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeSysfs.h"
#include "serial/PortName.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"

using namespace kt::serial;

using kt::serial::testing::FakeSysfs;

// (What each listed or named number opens, an empty variable as not set: port_list_test; a
// number beyond the list or below one: serial_error_text_test.)
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
