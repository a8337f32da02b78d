// The main dialog on the in-memory host in front of a real port (a pseudo-terminal to
// kt7340-sim): timers fire on the host's virtual clock, the exchanges wait on the real one.
#pragma once

#include <chrono>
#include <thread>

#include "MonitorHarness.h"
#include "modbus/Clock.h"
#include "serial/PosixSerialPort.h"
#include "ui/MainDialogIds.h"

namespace kt::testing {

class RealTimeHarness : public MainDialogHarness {
 public:
  RealTimeHarness() { port.PassThrough(realPort); }

  // Lets the same time pass on both clocks in small steps, so replies really arrive between
  // two ticks.
  void RunFor(uint32_t ms, uint32_t stepMs = 10) {
    for (uint32_t done = 0; done < ms; done += stepMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
      host.RunFor(stepMs);
    }
  }
  // Runs polling for up to `maxTicks` ticks until a measurement block has been decoded after
  // this call (the decoder writes the phase A voltage box and the receive echo).
  bool DecodesABlock(int maxTicks) {
    using namespace ui::main_ids;
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

  modbus::SteadyClock realClock;
  serial::PosixSerialPort realPort;
};

}  // namespace kt::testing
