// The serial line on a terminal device, over a real pseudo-terminal pair: the test plays the far
// end on the master.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "PtyPeer.h"
#include "SerialTestHelpers.h"
#include "TermiosExpectations.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"

using namespace kt::serial;
using namespace kt::serial::testing;
using Bytes = std::vector<uint8_t>;

namespace {

// The port number the tests select; its device comes from the environment.
constexpr int16_t kPort = 7;

class PortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(pty.Path().empty());
    setenv("KT7340_COM7", pty.Path().c_str(), 1);
    port.SetCommPort(kPort);
  }
  void OpenAsAtStartUp(const std::string& settings = "9600N,8,2") {
    port.SetSettings(settings);
    port.SetPortOpen(true);
    port.SetInputLen(0);
    port.SetInBufferCount(0);
  }

  PtyPeer pty{PtyPeer::kKeepSlaveOpen};
  PosixSerialPort port;
};

}  // namespace

// A pseudo-terminal drops the parity enable bit: settings with parity still open, open again
// on a terminal already at them, and apply again while open, as the simulated meter's line needs.
TEST_F(PortOnPty, EachSettingsTextOpensThePortWithItsTermios) {
  for (const TermiosCase& c : TermiosCases()) {
    SCOPED_TRACE(c.text);
    port.SetSettings(c.text);  // stored while closed, applied by the open
    for (int round = 0; round < 2; ++round) {
      port.SetPortOpen(true);
      ASSERT_TRUE(port.GetPortOpen());
      port.SetSettings(c.text);
      ExpectLineExceptParityEnable(pty.SlaveTermios(), c);
      port.SetPortOpen(false);
      EXPECT_FALSE(port.GetPortOpen());
    }
  }
}

TEST_F(PortOnPty, SettingsChangedWhileOpenApplyAtOnceAndARefusedTextChangesNothing) {
  const TermiosCase kOdd2400{"2400O,8,1", B2400, true, true, false};
  OpenAsAtStartUp("9600N,8,2");
  port.SetSettings(kOdd2400.text);
  ExpectLineExceptParityEnable(pty.SlaveTermios(), kOdd2400);

  const auto e = Refusal([&] { port.SetSettings("9600,N,8,2"); });
  ASSERT_TRUE(e) << "accepted";
  EXPECT_EQ(e->kind(), SerialErrorKind::BadSettings);
  EXPECT_EQ(e->device(), pty.Path());
  ExpectLineExceptParityEnable(pty.SlaveTermios(), kOdd2400);
  EXPECT_TRUE(port.GetPortOpen());
}

// (A reply in pieces: line_backends_test counts and reads what comes in turn; serial_input_test
// places each read.)

// A second opener is refused until the first closes the port, or is destroyed.
TEST_F(PortOnPty, ASecondOpenerIsRefusedUntilTheFirstLetsGo) {
  OpenAsAtStartUp();
  port.SetPortOpen(true);  // opening an open port does nothing
  ASSERT_TRUE(port.GetPortOpen());

  PosixSerialPort other;
  other.SetCommPort(kPort);
  const auto e = Refusal([&] { other.SetPortOpen(true); });
  ASSERT_TRUE(e) << "opened a port held by another opener";
  EXPECT_EQ(e->kind(), SerialErrorKind::PortInUse);
  EXPECT_EQ(e->device(), pty.Path());
  // As root the lock refuses it, otherwise already the exclusive open does.
  EXPECT_TRUE(e->systemError() == EWOULDBLOCK || e->systemError() == EBUSY) << e->systemError();
  EXPECT_NE(std::string(e->what()).find(pty.Path()), std::string::npos);
  EXPECT_NE(SerialErrorText(*e).find("（设备正被使用）"), std::string::npos) << SerialErrorText(*e);
  EXPECT_FALSE(other.GetPortOpen());

  port.SetPortOpen(false);
  {
    PosixSerialPort first;
    first.SetCommPort(kPort);
    first.SetPortOpen(true);
  }
  other.SetPortOpen(true);
  EXPECT_TRUE(other.GetPortOpen());
}

TEST_F(PortOnPty, AWriteGivesUpSoonAfterTheFramesOwnTransmissionTime) {
  PosixSerialPort stalling(300);
  stalling.SetCommPort(kPort);
  stalling.SetPortOpen(true);  // 9600 baud, no parity, two stop bits: 11 bits a character
  Refusal([&] { stalling.SetOutput(Bytes(size_t{8} * 1024 * 1024, 0x55)); });  // fills it up
  const auto e = Refusal([&] { stalling.SetOutput(Bytes(8, 0x01)); });
  ASSERT_TRUE(e) << "a frame written into a full buffer";
  EXPECT_EQ(e->kind(), SerialErrorKind::OutputStalled);
  // 88 bits take 10 ms at 9600 baud; the margin is added, the 300 ms limit does not apply.
  EXPECT_EQ(e->fault().total, 10 + PosixSerialPort::kWriteMarginMs);
}

struct RefusedDevice {
  const char* path;
  SerialErrorKind kind;
  int errnum;        // the system's reason
  const char* text;  // as the user reads it
};

TEST(PosixSerialPortOpen, RefusesDevicesThatAreMissingOrNotSerialWithPathAndReason) {
  const RefusedDevice cases[] = {
      {"/nonexistent/kt7340-tty", SerialErrorKind::NoSuchPort, ENOENT,
       "串口 /nonexistent/kt7340-tty 不存在（没有这个设备文件）"},
      {"/dev/null", SerialErrorKind::NotSerialDevice, ENOTTY,
       "串口 /dev/null 不是串口设备（该设备不接受串口设置）"},
      {"/", SerialErrorKind::OpenFailed, EISDIR, "串口 / 无法打开（这是一个文件夹）"},
  };
  for (const RefusedDevice& c : cases) {
    SCOPED_TRACE(c.path);
    setenv("KT7340_COM9", c.path, 1);
    PosixSerialPort port;
    port.SetCommPort(9);
    const auto e = Refusal([&] { port.SetPortOpen(true); });
    ASSERT_TRUE(e) << "opened";
    EXPECT_EQ(e->kind(), c.kind);
    EXPECT_EQ(e->device(), c.path);
    EXPECT_EQ(e->systemError(), c.errnum);
    EXPECT_EQ(SerialErrorText(*e), c.text);
    EXPECT_FALSE(port.GetPortOpen());
    EXPECT_EQ(port.GetInBufferCount(), 0);
  }
}
