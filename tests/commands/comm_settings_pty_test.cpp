// Communication settings end to end: the monitor on a real pseudo-terminal (PosixSerialPort)
// against the kt7340-sim executable changes baud rate and parity, then polls at the new ones.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "MonitorHarness.h"
#include "SimProcess.h"
#include "modbus/Clock.h"
#include "serial/PosixSerialPort.h"
#include "ui/CMonitorDlg.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using kt::sim::testing::SimProcess;
using namespace kt::ui::main_ids;
namespace comm_set_ids = kt::ui::comm_set_ids;

namespace {

// Timers fire on the host's virtual clock; the exchanges wait on the real one. Each step lets
// the same time pass on both, so replies really arrive between two ticks.
class RealTimeProgram : public kt::testing::MainDialogHarness {
 public:
  RealTimeProgram() { port.PassThrough(realPort); }

  void RunFor(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += 50) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      host.RunFor(50);
    }
  }
  // Runs polling for up to `maxTicks` ticks until a measurement block has been decoded after
  // this call (the decoder writes the phase A voltage box and the receive echo).
  bool DecodesABlock(int maxTicks) {
    host.Type(*dialog, kPhaseVoltageABox, "");
    host.Type(*dialog, kReceiveEcho, "");
    for (int tick = 0; tick < maxTicks; ++tick) {
      RunFor(dialog->m_pollPeriodMs);
      if (!host.Control(*dialog, kPhaseVoltageABox).text.empty() &&
          !host.Control(*dialog, kReceiveEcho).text.empty()) {
        return true;
      }
    }
    return false;
  }
  // Half a period after a tick, so that the latest poll reply is in, opens the communication
  // settings, clicks `radio` and confirms.
  void ChangeLine(int radio) {
    RunFor(dialog->m_pollPeriodMs / 2);
    host.ScriptModal(comm_set_ids::kTemplateId, [this, radio](kt::ui::Dialog& d) {
      host.Click(d, radio);
      host.Click(d, kt::ui::IDOK);
    });
    host.Click(*dialog, kCommSettingsButton);
  }

  kt::modbus::SteadyClock realClock;
  kt::serial::PosixSerialPort realPort;
};

}  // namespace

TEST(CommSettingsOnPty, BaudThenParityChangeThenPollingAtTheNewSettings) {
  SimProcess sim({"--baud", "9600", "--parity", "none", "--response-delay", "5"});
  ASSERT_FALSE(sim.path().empty()) << "kt7340-sim gave no device path";
  ASSERT_EQ(setenv("KT7340_COM4", sim.path().c_str(), 1), 0);

  RealTimeProgram p;
  auto& d = p.Open({4, 9600, 0}, &p.realClock);
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
