// A refused port number keeps the port selected before it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "SerialTestHelpers.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"

using namespace kt::serial;

// (What each listed or named number opens, an empty variable as not set: port_list_test; a
// number beyond the list or below one: serial_error_text_test; the process environment read
// when no lookup is given: every test that opens a port through KT7340_COM<N>.)
TEST(PosixSerialPort, RefusesAPortNumberBelowOneWhenItIsSet) {
  PosixSerialPort port;
  setenv("KT7340_COM1", "/nonexistent/kt7340-port-1", 1);
  EXPECT_THROW(port.SetCommPort(0), SerialError);
  // The earlier selection (port 1) is kept: opening fails on its device, not on port 0.
  const auto e = kt::serial::testing::Refusal([&] { port.SetPortOpen(true); });
  ASSERT_TRUE(e) << "opened";
  EXPECT_EQ(e->kind(), SerialErrorKind::NoSuchPort);
  EXPECT_EQ(e->device(), "/nonexistent/kt7340-port-1");
  EXPECT_FALSE(port.GetPortOpen());
}
