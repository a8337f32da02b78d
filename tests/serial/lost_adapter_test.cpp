// Two adapters of the same kind: the one that was pulled, and only that one, is opened again
// when it comes back, whatever name or number the other has taken meanwhile.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FakeSysfs.h"
#include "PtyPeer.h"
#include "SerialTestHelpers.h"
#include "serial/SerialError.h"
#include "serial/SerialLine.h"

using namespace kt::serial;
using kt::serial::testing::FakeSysfs;
using kt::serial::testing::PtyPeer;
using Bytes = std::vector<uint8_t>;

namespace {

struct Machine {
  const char* name;
  const char* serialA;  // empty: the adapters have no serial number
  const char* serialB;
  const char* socketA;  // by-path names: the USB socket each is plugged into
  const char* socketB;
};

class LostAdapter : public ::testing::TestWithParam<Machine> {};

TEST_P(LostAdapter, ComesBackAsItselfAndNeverAsTheOther) {
  const Machine& m = GetParam();
  FakeSysfs fs;
  PtyPeer a;
  PtyPeer b;
  fs.UsbAdapter("ttyUSB0", "usb1/1-1", m.serialA, m.socketA, a.Path());
  fs.UsbAdapter("ttyUSB1", "usb1/1-2", m.serialB, m.socketB, b.Path());
  const PortSources sources{kt::serial::testing::Only({}), fs.sys(), fs.dev()};
  SerialLine line;
  line.SetPortSources(sources);
  line.SetCommPort(1);
  line.SetPortOpen(true);
  ASSERT_EQ(line.DeviceName(), fs.dev() + "/ttyUSB0");
  SerialLine second;  // port 2 is the other adapter: what it writes reaches that one only
  second.SetPortSources(sources);
  second.SetCommPort(2);
  second.SetPortOpen(true);
  second.SetOutput({0x07});
  EXPECT_EQ(b.Received(), Bytes{0x07});
  second.SetPortOpen(false);

  // A is pulled; B moves up to its name and its number.
  a.Close();
  EXPECT_THROW((void)line.GetInBufferCount(), SerialError);
  ASSERT_FALSE(line.GetPortOpen());
  fs.Unplug("ttyUSB0", "usb1/1-1", m.socketA);
  fs.Unplug("ttyUSB1", "usb1/1-2", m.socketB);
  fs.UsbAdapter("ttyUSB0", "usb1/1-2", m.serialB, m.socketB, b.Path());

  // Reopening while A is away finds nothing: B under A's old name is not A.
  const auto e = kt::serial::testing::Refusal([&] { line.SetPortOpen(true); });
  ASSERT_TRUE(e) << "opened " << line.DeviceName();
  EXPECT_EQ(e->kind(), SerialErrorKind::NoSuchPort);
  EXPECT_FALSE(line.GetPortOpen());

  // A is back, under a new name and on a new far end: that is what opens.
  PtyPeer aBack;
  fs.UsbAdapter("ttyUSB1", "usb1/1-1", m.serialA, m.socketA, aBack.Path());
  line.SetPortOpen(true);
  ASSERT_TRUE(line.GetPortOpen());
  EXPECT_EQ(line.DeviceName(), fs.dev() + "/ttyUSB1");
  line.SetOutput({0x01, 0x03, 0x00});
  EXPECT_EQ(aBack.Received(), (Bytes{0x01, 0x03, 0x00}));
  EXPECT_TRUE(b.Received(0).empty());

  // Choosing port 1 again is the user's choice: it is what port 1 lists now.
  line.SetPortOpen(false);
  line.SetCommPort(1);
  line.SetPortOpen(true);
  EXPECT_EQ(line.DeviceName(), fs.dev() + "/ttyUSB0");
  line.SetOutput({0x02});
  EXPECT_EQ(b.Received(), Bytes{0x02});
}

INSTANTIATE_TEST_SUITE_P(
    Machines, LostAdapter,
    ::testing::Values(Machine{"BySerialNumber", "FT1A", "FT1B", "", ""},
                      Machine{"ByUsbSocket", "", "", "pci-0000:00:14.0-usb-0:1:1.0-port0",
                              "pci-0000:00:14.0-usb-0:2:1.0-port0"},
                      // Clones with one serial number: the socket decides (sysfs without udev;
                      // by-path as above, the rule itself: port_list_test's AdapterIdentity).
                      Machine{"SharedSerialWithoutUdev", "0001", "0001", "", ""}),
    [](const auto& machine) { return std::string(machine.param.name); });

}  // namespace
