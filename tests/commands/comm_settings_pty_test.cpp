// Communication settings end to end: the monitor on a real pseudo-terminal (PosixSerialPort)
// against the kt7340-sim executable changes baud rate and parity, then polls at the new ones.
#include <gtest/gtest.h>

#include <cstdlib>

#include "MainDialogHarness.h"
#include "SimProcess.h"
#include "ui/CMonitorDlg.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using kt::sim::testing::SimProcess;
using namespace kt::ui::main_ids;
namespace comm_set_ids = kt::ui::comm_set_ids;

using kt::testing::MainDialogHarness;
using kt::testing::RealPort;

TEST(CommSettingsOnPty, BaudThenParityChangeThenPollingAtTheNewSettings) {
  SimProcess sim({"--baud", "9600", "--parity", "none", "--response-delay", "5"});
  ASSERT_FALSE(sim.path().empty()) << "kt7340-sim gave no device path";
  ASSERT_EQ(setenv("KT7340_COM4", sim.path().c_str(), 1), 0);

  MainDialogHarness p(RealPort(50));
  auto& d = p.Open({4, 9600, 0});
  ASSERT_TRUE(p.port.GetPortOpen());
  p.host.Type(d, kSlaveAddressEdit, "1");
  p.host.Click(d, kRunButton);
  ASSERT_TRUE(p.DecodesABlock(12)) << "no measurements at 9600N,8,2";

  p.ChangeLine(comm_set_ids::kBaud19200Radio);
  EXPECT_TRUE(p.host.Messages().empty()) << p.host.Messages()[0].text;
  EXPECT_EQ(d.m_baudRate, 19200);
  ASSERT_TRUE(p.DecodesABlock(6)) << "no measurements at 19200N,8,2";

  p.ChangeLine(comm_set_ids::kEvenParityRadio);
  EXPECT_TRUE(p.host.Messages().empty()) << p.host.Messages()[0].text;
  EXPECT_EQ(d.m_parity, 2);
  EXPECT_EQ(p.host.Control(d, kInformationBox).text,
            "串行口: 4 \r\n\r\n波特率: 19200 \r\n\r\n校验位:偶校验");
  EXPECT_TRUE(p.DecodesABlock(6)) << "no measurements at 19200E,8,1";

  p.host.Close(d);
  EXPECT_EQ(sim.Terminate(3000), 0);
}
