// The monitor on a real pseudo-terminal loses kt7340-sim while polling and finds it again, on
// the same link, without the user doing anything.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "SimProcess.h"
#include "ui/MainDialogIds.h"

using kt::sim::testing::SimProcess;
using kt::testing::MainDialogHarness;
using kt::testing::RealPort;
namespace ids = kt::ui::main_ids;

TEST(LostPortOnPty, TheSimulatorGoesAwayAndComesBackOnTheSameLink) {
  const std::string link = "/tmp/kt7340-lost-port-" + std::to_string(getpid());
  const std::vector<std::string> args = {"--link", link, "--response-delay", "5"};
  auto sim = std::make_unique<SimProcess>(args);
  ASSERT_FALSE(sim->path().empty()) << "kt7340-sim gave no device path";
  ASSERT_EQ(setenv("KT7340_COM5", link.c_str(), 1), 0);

  MainDialogHarness p(RealPort(50));
  auto& d = p.Open({5, 9600, 0});
  ASSERT_TRUE(p.port.GetPortOpen());
  p.host.Type(d, ids::kSlaveAddressEdit, "1");
  p.host.Click(d, ids::kRunButton);
  ASSERT_TRUE(p.DecodesABlock(12)) << "no measurements before the simulator went away";
  EXPECT_EQ(p.host.Control(d, ids::kLinkStateBox).text, "正常");

  sim.reset();  // stopped while polling: its end of the line is gone
  p.RunFor(d.m_pollPeriodMs * 3);
  EXPECT_EQ(p.host.Control(d, ids::kLinkStateBox).text, "串口已断开");
  EXPECT_FALSE(p.port.GetPortOpen());
  EXPECT_TRUE(p.host.Messages().empty()) << p.host.Messages()[0].text;

  sim = std::make_unique<SimProcess>(args);
  ASSERT_FALSE(sim->path().empty());
  EXPECT_TRUE(p.DecodesABlock(20)) << p.host.Control(d, ids::kLinkStateBox).text;
  EXPECT_EQ(p.host.Control(d, ids::kLinkStateBox).text, "正常");
  EXPECT_TRUE(p.host.Messages().empty()) << p.host.Messages()[0].text;
  p.host.Close(d);
}
