// The main dialog on the in-memory host for tests, the one way to set it up. Options choose the
// line behind the dialog's port (a scripted FakeSerialPort with a small answering register map,
// the simulated meter from sim/ on the virtual clock, or a real port such as a pseudo-terminal to
// kt7340-sim) and the time its exchanges wait on (virtual, or real for a real port). The port the
// dialog talks to is always the recording FakeSerialPort `port`.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FakeSerialPort.h"
#include "Frames.h"
#include "InMemoryHost.h"
#include "modbus/Buffers.h"
#include "modbus/Clock.h"
#include "modbus/RequestFrames.h"
#include "serial/PosixSerialPort.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/CommSetDialogIds.h"
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

enum class HarnessLine {
  Scripted,        // `port` answers as its onWrite says; by default the register map below
  SimulatedMeter,  // the simulated meter on the virtual clock; the dialog opens at once
  RealPort,        // `realPort` (open it on a pseudo-terminal); exchanges wait in real time
};

struct HarnessOptions {
  HarnessLine line = HarnessLine::Scripted;
  sim::MeterConfig meter{};    // the simulated meter's configuration
  StartSettings start{};       // for the dialog the simulated meter opens
  uint32_t realStepMs = 10;    // real time: RunFor lets time pass in steps of this size
  bool meterConnected = true;  // false: the simulated meter is not on the line
};

// The whole program against the simulated meter, the meter's address entered in the main dialog.
inline HarnessOptions SimulatedMeter(const sim::MeterConfig& config = {},
                                     StartSettings start = {}) {
  return {HarnessLine::SimulatedMeter, config, start};
}
// The simulated meter answering `delayMs` after each request, or not on the line at all: how a
// command meets a meter that is quick, slow, late or missing.
inline HarnessOptions MeterAnswering(uint32_t delayMs, bool connected = true,
                                     sim::MeterConfig config = {}) {
  config.responseDelayMs = delayMs;
  HarnessOptions options = SimulatedMeter(config);
  options.meterConnected = connected;
  return options;
}
// The dialog in front of a real port, the exchanges waiting on the real clock.
inline HarnessOptions RealPort(uint32_t stepMs = 10) {
  return {HarnessLine::RealPort, {}, {}, stepMs};
}

class MainDialogHarness {
 public:
  explicit MainDialogHarness(HarnessOptions options = {}) : options_(options) {
    switch (options.line) {
      case HarnessLine::Scripted:
        port.onWrite = [this](const Bytes& frame) { Answer(frame); };
        break;
      case HarnessLine::SimulatedMeter:
        AttachMeter(options.meter);
        Open(options.start);
        // The user enters the meter's address; Run pressed twice takes it without polling.
        host.Type(*dialog, ui::main_ids::kSlaveAddressEdit, std::to_string(options.meter.address));
        host.Click(*dialog, ui::main_ids::kRunButton);
        host.Click(*dialog, ui::main_ids::kRunButton);
        meter->SetMeterConnected(options.meterConnected);
        break;
      case HarnessLine::RealPort:
        port.PassThrough(realPort);
        break;
    }
  }
  MainDialogHarness(const MainDialogHarness&) = delete;
  MainDialogHarness& operator=(const MainDialogHarness&) = delete;
  ~MainDialogHarness() { Close(); }

  modbus::VirtualClock clock;
  ui::InMemoryHost host{clock};
  std::unique_ptr<sim::SimulatedLine> meter;  // the simulated meter, once attached
  modbus::SteadyClock realClock;
  serial::PosixSerialPort realPort;
  FakeSerialPort port{clock};  // what the dialog talks to
  std::unique_ptr<ui::CMonitorDlg> dialog;
  // Runs on the new dialog before its initialisation (to attach observers, as the application
  // does).
  std::function<void(ui::CMonitorDlg&)> beforeInit;

  // The scripted line's answering meter: address, registers and the status pair sent after a
  // block reply. It answers reads only while `meterOn`.
  bool meterOn = false;
  uint8_t meterAddress = 1;
  std::map<uint16_t, uint16_t> registers;
  Bytes statusTrailer;

  ui::CMonitorDlg& Dlg() { return *dialog; }
  const ui::CMonitorDlg& Dlg() const { return *dialog; }
  sim::SimulatedLine& Meter() { return *meter; }

  // Puts the simulated meter (on the same virtual clock) behind the port.
  sim::SimulatedLine& AttachMeter(const sim::MeterConfig& config = {}) {
    meter = std::make_unique<sim::SimulatedLine>(clock, config);
    port.PassThrough(*meter);
    return *meter;
  }
  // Opens the main dialog with the start settings. Its exchanges wait on the real clock for a
  // real port, else on the virtual clock.
  ui::CMonitorDlg& Open(StartSettings start = {}) {
    modbus::Clock& exchangeClock =
        RealTime() ? static_cast<modbus::Clock&>(realClock) : static_cast<modbus::Clock&>(clock);
    dialog = std::make_unique<ui::CMonitorDlg>(host, port, exchangeClock);
    dialog->m_portNumber = start.port;
    dialog->m_baudRate = start.baudRate;
    dialog->m_parity = start.parity;
    if (beforeInit) beforeInit(*dialog);
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
  // Runs one poll tick directly (the timer need not run).
  void Tick() { dialog->OnTimer(ui::kPollTimer); }

  // Lets `ms` pass: on the virtual clock, or in real time in small steps on both clocks, so that
  // replies really arrive between two ticks.
  void RunFor(uint32_t ms) {
    if (!RealTime()) return host.RunFor(ms);
    for (uint32_t done = 0; done < ms; done += options_.realStepMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(options_.realStepMs));
      host.RunFor(options_.realStepMs);
    }
  }

  // Presses Run and lets the poll timer tick until the cycle has reached `state` (3: the
  // measurement block is being read), then half a period more; false when it does not get there
  // in 20 ticks.
  bool PollUntil(uint8_t state) {
    if (dialog->m_running == 0) Click(ui::main_ids::kRunButton);
    for (int tick = 0; tick < 20 && dialog->m_pollState < state; ++tick) {
      RunFor(dialog->m_pollPeriodMs);
    }
    // The user acts between two ticks, once the latest reply is in.
    RunFor(dialog->m_pollPeriodMs / 2);
    return dialog->m_pollState >= state;
  }
  // Lets polling run on for `ticks` periods and reports whether measurement blocks were decoded
  // meanwhile (the decoder writes the phase A voltage box and the receive echo), that is whether
  // the meter answers at the program's line settings. Needs the cycle at state 3 or on.
  bool MeasurementsFlow(int ticks = 6) {
    ClearDecodedBoxes();
    RunFor(dialog->m_pollPeriodMs * static_cast<uint32_t>(ticks));
    return BoxesDecoded();
  }
  // Runs polling for up to `maxTicks` ticks until a measurement block has been decoded after
  // this call.
  bool DecodesABlock(int maxTicks) {
    ClearDecodedBoxes();
    for (int tick = 0; tick < maxTicks; ++tick) {
      RunFor(dialog->m_pollPeriodMs);
      if (BoxesDecoded()) return true;
    }
    return false;
  }
  // Half a period after a tick, so that the latest poll reply is in, opens the communication
  // settings, clicks `radio` and confirms.
  void ChangeLine(int radio) {
    RunFor(dialog->m_pollPeriodMs / 2);
    host.ScriptModal(ui::comm_set_ids::kTemplateId, [this, radio](ui::Dialog& d) {
      host.Click(d, radio);
      host.Click(d, ui::IDOK);
    });
    host.Click(*dialog, ui::main_ids::kCommSettingsButton);
  }

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
  // How every command ends: the message boxes it showed (none, or the one that tells what failed)
  // and the poll timer running again, whatever happened.
  ::testing::AssertionResult EndedWith(const std::vector<std::string>& messages) const {
    const std::vector<std::string> shown = MessagesSince(0);
    if (shown != messages) {
      std::string text;
      for (const std::string& m : shown) text += " \"" + m + "\"";
      return ::testing::AssertionFailure() << "message boxes:" << (text.empty() ? " none" : text);
    }
    if (!PollTimerRunning()) return ::testing::AssertionFailure() << "the poll timer is stopped";
    return ::testing::AssertionSuccess();
  }

 private:
  bool RealTime() const { return options_.line == HarnessLine::RealPort; }

  void ClearDecodedBoxes() {
    host.Type(*dialog, ui::main_ids::kPhaseVoltageABox, "");
    host.Type(*dialog, ui::main_ids::kReceiveEcho, "");
  }
  bool BoxesDecoded() const {
    return !Text(ui::main_ids::kPhaseVoltageABox).empty() &&
           !Text(ui::main_ids::kReceiveEcho).empty();
  }

  // The scripted line's register map answering a read request from the dialog.
  void Answer(const Bytes& f) {
    if (!meterOn || f.size() != 8 || f[0] != meterAddress || f[1] != 0x03) return;
    const auto start = static_cast<uint16_t>(f[2] << 8 | f[3]);
    const auto count = static_cast<uint16_t>(f[4] << 8 | f[5]);
    std::vector<uint16_t> values;
    for (uint16_t r = start; r < start + count; ++r) {
      auto it = registers.find(r);
      values.push_back(it == registers.end() ? 0 : it->second);
    }
    port.Arrive(ReadReply(meterAddress, values));
    if (start == 0x0000) port.Arrive(statusTrailer);
  }

  HarnessOptions options_;
};

// The harness as a GoogleTest fixture.
class MainDialogTest : public ::testing::Test, public MainDialogHarness {};

}  // namespace kt::testing
