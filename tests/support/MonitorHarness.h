// The main dialog on the in-memory host for tests: timers on a virtual clock, the port a
// recording FakeSerialPort that is scripted, passes through to the simulated meter from sim/, or
// to another port (a real pseudo-terminal).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeSerialPort.h"
#include "Frames.h"
#include "InMemoryHost.h"
#include "modbus/Buffers.h"
#include "modbus/RequestFrames.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::testing {

inline std::vector<Bytes> OneFrame(Bytes frame) {
  return {std::move(frame)};
}

struct StartSettings {
  int32_t port = 1;
  int32_t baudRate = 9600;
  int32_t parity = 0;
};

class MainDialogHarness {
 public:
  MainDialogHarness() = default;
  MainDialogHarness(const MainDialogHarness&) = delete;
  MainDialogHarness& operator=(const MainDialogHarness&) = delete;
  ~MainDialogHarness() { Close(); }

  modbus::VirtualClock clock;
  ui::InMemoryHost host{clock};
  std::unique_ptr<sim::SimulatedLine> meter;  // the simulated meter, once attached
  FakeSerialPort port{clock};                 // what the dialog talks to
  std::unique_ptr<ui::CMonitorDlg> dialog;

  // Puts the simulated meter (on the same virtual clock) behind the port.
  sim::SimulatedLine& AttachMeter(const sim::MeterConfig& config = {}) {
    meter = std::make_unique<sim::SimulatedLine>(clock, config);
    port.PassThrough(*meter);
    return *meter;
  }
  // Opens the main dialog with the start settings. Its exchanges wait on `exchangeClock` when
  // given (a real clock for a real port), else on the virtual clock.
  ui::CMonitorDlg& Open(StartSettings start = {}, modbus::Clock* exchangeClock = nullptr) {
    dialog = std::make_unique<ui::CMonitorDlg>(
        host, port, exchangeClock != nullptr ? *exchangeClock : static_cast<modbus::Clock&>(clock));
    dialog->m_portNumber = start.port;
    dialog->m_baudRate = start.baudRate;
    dialog->m_parity = start.parity;
    host.Open(*dialog);
    return *dialog;
  }
  // Destroys the window (also after it ended), as the application does.
  void Close() {
    if (dialog) host.Close(*dialog);
  }

  // A click on a visible, enabled control of the main dialog.
  void Click(int id) { ASSERT_TRUE(host.Click(*dialog, id)) << "control " << id; }
  // A command reaching the dialog without a control (hidden buttons, IDs with no control).
  void Command(int id) { dialog->OnCommand(id); }
  std::string Text(int id) const { return host.Control(*dialog, id).text; }
  bool PollTimerRunning() const { return host.TimerRunning(*dialog, ui::kPollTimer); }
  bool ProbeTimerRunning() const { return host.TimerRunning(*dialog, ui::kProbeTimer); }

  // Position in the record of transmissions, to look only at what came after it.
  size_t Mark() const { return port.written.size(); }
  std::vector<Bytes> FramesSince(size_t mark) const {
    return {port.written.begin() + static_cast<std::ptrdiff_t>(mark), port.written.end()};
  }
  // Line times of those transmissions on the simulated meter, relative to the first of them.
  std::vector<uint64_t> OffsetsSince(size_t mark) const {
    std::vector<uint64_t> offsets;
    const auto& sent = meter->Written();
    for (size_t i = mark; i < sent.size(); ++i) offsets.push_back(sent[i].atMs - sent[mark].atMs);
    return offsets;
  }
  std::vector<std::string> MessagesSince(size_t mark) const {
    std::vector<std::string> texts;
    for (size_t i = mark; i < host.Messages().size(); ++i) texts.push_back(host.Messages()[i].text);
    return texts;
  }
};

// The whole program against the simulated meter, the meter's address entered in the main dialog.
class Program : public MainDialogHarness {
 public:
  explicit Program(const sim::MeterConfig& config = {}, StartSettings start = {})
      : line(AttachMeter(config)), hooked(port), dlg(Open(start)) {
    // The user enters the meter's address; Run pressed twice takes it without polling.
    host.Type(dlg, ui::main_ids::kSlaveAddressEdit, std::to_string(config.address));
    host.Click(dlg, ui::main_ids::kRunButton);
    host.Click(dlg, ui::main_ids::kRunButton);
  }

  sim::SimulatedLine& line;
  FakeSerialPort& hooked;
  ui::CMonitorDlg& dlg;

  // Presses Run and lets the poll timer tick until the cycle has reached `state` (3: the
  // measurement block is being read), then half a period more; false when it does not get there
  // in 20 ticks.
  bool PollUntil(uint8_t state) {
    if (dlg.m_running == 0) Click(ui::main_ids::kRunButton);
    for (int tick = 0; tick < 20 && dlg.m_pollState < state; ++tick) {
      host.RunFor(dlg.m_pollPeriodMs);
    }
    // The user acts between two ticks, once the latest reply is in.
    host.RunFor(dlg.m_pollPeriodMs / 2);
    return dlg.m_pollState >= state;
  }
  // Lets polling run on and reports whether measurement blocks were decoded meanwhile, that is
  // whether the meter answers at the program's line settings. Needs the cycle at state 3 or on.
  bool MeasurementsFlow(int ticks = 6) {
    host.Type(dlg, ui::main_ids::kPhaseVoltageABox, "");
    host.Type(dlg, ui::main_ids::kReceiveEcho, "");
    host.RunFor(dlg.m_pollPeriodMs * ticks);
    return !Text(ui::main_ids::kPhaseVoltageABox).empty() &&
           !Text(ui::main_ids::kReceiveEcho).empty();
  }
};

}  // namespace kt::testing
