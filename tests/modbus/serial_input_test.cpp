// Taking serial input, and the fixed wait on the clock seam. (Discarding: monitor_listener_test.)
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "FakeSerialPort.h"
#include "modbus/FixedWait.h"
#include "modbus/SerialInput.h"

using namespace kt::modbus;

namespace {

// An open port whose receive queue the test fills; bytes "arriving" between the count and the
// input read can be staged to show that they are taken but not copied.
struct QueuedPort : kt::testing::FakeSerialPort {
  QueuedPort() { open = true; }
};

// A clock that counts how it is asked, to show the wait sleeps instead of spinning.
class CountingClock : public VirtualClock {
 public:
  using VirtualClock::VirtualClock;
  int sleeps = 0;
  void Sleep(uint32_t ms) override {
    ++sleeps;
    VirtualClock::Sleep(ms);
  }
};

}  // namespace

TEST(TakeReceivedBytes, CopiesTheCountedBytesFromPositionZero) {
  QueuedPort comm;
  ReceiveBuffer buf;
  buf.fill(0xEE);
  EXPECT_EQ(TakeReceivedBytes(comm, buf), 0);
  EXPECT_EQ(buf[0], 0xEE);

  comm.pending = {0x00, 0x0D, 0x0A, 0x1A, 0xFF};
  EXPECT_EQ(TakeReceivedBytes(comm, buf), 5);
  EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + 6),
            (std::vector<uint8_t>{0x00, 0x0D, 0x0A, 0x1A, 0xFF, 0xEE}));

  // A second piece lands at position 0 again; what lies beyond stays from before.
  comm.pending = {0x42};
  EXPECT_EQ(TakeReceivedBytes(comm, buf), 1);
  EXPECT_EQ(buf[0], 0x42);
  EXPECT_EQ(buf[1], 0x0D);

  // Bytes arriving between the count and the read are removed from the queue but not copied.
  comm.pending = {1, 2};
  comm.arriveAfterCount = {3, 4};
  EXPECT_EQ(TakeReceivedBytes(comm, buf), 2);
  EXPECT_TRUE(comm.pending.empty());
  EXPECT_EQ(buf[2], 0x0A);  // still from the earlier read
}

TEST(TakeReceivedBytes, NeverWritesPastTheReceiveBuffer) {
  QueuedPort comm;
  ReceiveBuffer buf{};
  comm.pending.resize(5000);
  for (size_t i = 0; i < comm.pending.size(); ++i) comm.pending[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(TakeReceivedBytes(comm, buf), 1200);
  EXPECT_EQ(buf[1199], static_cast<uint8_t>(1199));
  EXPECT_TRUE(comm.pending.empty());  // the rest is dropped with the read
}

TEST(WaitFixed, FullLengthInSlicesAcrossAWrappingCounter) {
  for (uint32_t start : {0u, 0xFFFFFF00u, 0xFFFFFFFFu}) {
    CountingClock clock(start);
    WaitFixed(clock, 300);
    EXPECT_EQ(clock.ElapsedMs(), 300u) << start;
    EXPECT_EQ(clock.sleeps, static_cast<int>(300 / kWaitSliceMs));
  }
  CountingClock clock;
  WaitFixed(clock, 0);
  EXPECT_EQ(clock.ElapsedMs(), 0u);
}
