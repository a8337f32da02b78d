// The serial line on a terminal device, over a real pseudo-terminal pair: the test plays the far
// end on the master.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "PtyPeer.h"
#include "TermiosExpectations.h"
#include "modbus/FindFrame.h"
#include "modbus/SerialInput.h"
#include "platform/posix/UniqueFd.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"

using namespace kt::serial;
using namespace kt::serial::testing;
using Bytes = std::vector<uint8_t>;

namespace {

// The port number the tests select; its device comes from the environment.
constexpr int16_t kPort = 7;
constexpr auto kDeadline = std::chrono::seconds(3);

// Received bytes reach the slave's queue asynchronously; wait (bounded) until `n` are counted.
int16_t WaitForCount(SerialControl& port, int16_t n) {
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  int16_t count = port.GetInBufferCount();
  while (count < n && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    count = port.GetInBufferCount();
  }
  return count;
}

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
  for (const TermiosCase& c : kTermiosCases) {
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

  try {
    port.SetSettings("9600,N,8,2");
    ADD_FAILURE() << "accepted";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::BadSettings);
    EXPECT_EQ(e.device(), pty.Path());
  }
  ExpectLineExceptParityEnable(pty.SlaveTermios(), kOdd2400);
  EXPECT_TRUE(port.GetPortOpen());
}

TEST_F(PortOnPty, AReplyInTwoPiecesIsTakenInTwoReads) {
  OpenAsAtStartUp();
  const Bytes reply = {0x01, 0x03, 0x02, 0x00, 0x01, 0x79, 0x84};
  kt::modbus::ReceiveBuffer buf;
  buf.fill(0xEE);

  // Each piece lands at position 0 again; the rest is left from the read before.
  struct Piece {
    size_t from, to;
    Bytes bufferHead;
  };
  const Piece pieces[] = {{0, 4, {0x01, 0x03, 0x02, 0x00, 0xEE}},
                          {4, 7, {0x01, 0x79, 0x84, 0x00, 0xEE}}};
  for (const Piece& p : pieces) {
    pty.Send(Bytes(reply.begin() + p.from, reply.begin() + p.to));
    const auto n = static_cast<int16_t>(p.to - p.from);
    ASSERT_EQ(WaitForCount(port, n), n);
    EXPECT_EQ(kt::modbus::TakeReceivedBytes(port, buf), n);
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 5), p.bufferHead);
    EXPECT_EQ(kt::modbus::FindFrame(std::span(buf).first(p.to - p.from),
                                    kt::modbus::SlaveAddress(1), kt::modbus::FunctionCode(0x03), 7),
              -1);
  }
  EXPECT_EQ(port.GetInBufferCount(), 0);
}

// A second opener is refused until the first closes the port, or is destroyed.
TEST_F(PortOnPty, ASecondOpenerIsRefusedUntilTheFirstLetsGo) {
  OpenAsAtStartUp();
  port.SetPortOpen(true);  // opening an open port does nothing
  ASSERT_TRUE(port.GetPortOpen());

  PosixSerialPort other;
  other.SetCommPort(kPort);
  try {
    other.SetPortOpen(true);
    ADD_FAILURE() << "opened a port held by another opener";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::PortInUse);
    EXPECT_EQ(e.device(), pty.Path());
    // As root the lock refuses it, otherwise already the exclusive open does.
    EXPECT_TRUE(e.systemError() == EWOULDBLOCK || e.systemError() == EBUSY) << e.systemError();
    EXPECT_NE(std::string(e.what()).find(pty.Path()), std::string::npos);
    EXPECT_NE(SerialErrorText(e).find("（设备正被使用）"), std::string::npos) << SerialErrorText(e);
  }
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
  try {
    stalling.SetOutput(Bytes(size_t{8} * 1024 * 1024, 0x55));  // fills the terminal's buffer
  } catch (const SerialError&) {
  }
  try {
    stalling.SetOutput(Bytes(8, 0x01));
    ADD_FAILURE() << "a frame written into a full buffer";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::OutputStalled);
    // 88 bits take 10 ms at 9600 baud; the margin is added, the 300 ms limit does not apply.
    const int bound = 10 + PosixSerialPort::kWriteMarginMs;
    EXPECT_EQ(e.fault().total, bound);
  }
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
    try {
      port.SetPortOpen(true);
      ADD_FAILURE() << "opened";
    } catch (const SerialError& e) {
      EXPECT_EQ(e.kind(), c.kind);
      EXPECT_EQ(e.device(), c.path);
      EXPECT_EQ(e.systemError(), c.errnum);
      EXPECT_EQ(SerialErrorText(e), c.text);
    }
    EXPECT_FALSE(port.GetPortOpen());
    EXPECT_EQ(port.GetInBufferCount(), 0);
  }
}
