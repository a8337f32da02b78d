// The main dialog on a real port (PosixSerialPort) with timers on the virtual clock and
// exchanges on the real one, for tests against kt7340-sim on a pseudo-terminal.
#pragma once

#include <chrono>
#include <thread>

#include "MonitorHarness.h"
#include "modbus/Clock.h"
#include "serial/PosixSerialPort.h"
#include "ui/CMonitorDlg.h"

namespace kt::testing {

// Timers fire on the host's virtual clock; the exchanges wait on the real one. Each step lets
// the same time pass on both, so replies really arrive between two ticks.
class RealTimeProgram : public MainDialogHarness {
 public:
  RealTimeProgram() { port.PassThrough(realPort); }

  void RunFor(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += 50) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      host.RunFor(50);
    }
  }
  // Runs polling for up to `maxTicks` ticks until a measurement block has been decoded after
  // this call (the decoder writes edit 1001 and the receive echo).
  bool DecodesABlock(int maxTicks) {
    host.Type(*dialog, 1001, "");
    host.Type(*dialog, 1022, "");
    for (int tick = 0; tick < maxTicks; ++tick) {
      RunFor(dialog->m_pollPeriodMs);
      if (!host.Control(*dialog, 1001).text.empty() && !host.Control(*dialog, 1022).text.empty()) {
        return true;
      }
    }
    return false;
  }
  // Half a period after a tick, so that the latest poll reply is in, opens the communication
  // settings, clicks `radio` and confirms.
  void ChangeLine(int radio) {
    RunFor(dialog->m_pollPeriodMs / 2);
    host.ScriptModal(130, [this, radio](kt::ui::Dialog& d) {
      host.Click(d, radio);
      host.Click(d, kt::ui::IDOK);
    });
    host.Click(*dialog, 1004);
  }

  kt::modbus::SteadyClock realClock;
  kt::serial::PosixSerialPort realPort;
};

}  // namespace kt::testing
