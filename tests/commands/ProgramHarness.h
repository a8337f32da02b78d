// The whole program in memory for the command tests: the main dialog on the in-memory host, the
// simulated meter on its line, everything on one virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "modbus/Buffers.h"
#include "modbus/Crc16.h"
#include "modbus/RequestFrames.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/dialog/InMemoryHost.h"

namespace kt::test {

using Bytes = std::vector<uint8_t>;

// The bytes with their CRC appended, as on the wire.
inline Bytes WithCrc(Bytes bytes) {
  const uint16_t crc = modbus::CalcCrc16(bytes);
  bytes.push_back(static_cast<uint8_t>(crc >> 8));
  bytes.push_back(static_cast<uint8_t>(crc & 0xFF));
  return bytes;
}

inline std::vector<Bytes> OneFrame(Bytes frame) {
  return {std::move(frame)};
}

// The simulated line, with a hook that sees every transmission (to put noise or a forged reply
// on the line while the program waits).
class HookedLine : public serial::SerialControl {
 public:
  explicit HookedLine(sim::SimulatedLine& line) : line_(line) {}
  std::function<void(const Bytes& sent)> afterOutput;

  void SetCommPort(int16_t port) override { line_.SetCommPort(port); }
  void SetSettings(const std::string& settings) override { line_.SetSettings(settings); }
  void SetPortOpen(bool open) override { line_.SetPortOpen(open); }
  bool GetPortOpen() const override { return line_.GetPortOpen(); }
  void SetInputLen(int16_t length) override { line_.SetInputLen(length); }
  void SetInBufferCount(int16_t count) override { line_.SetInBufferCount(count); }
  int16_t GetInBufferCount() override { return line_.GetInBufferCount(); }
  std::vector<uint8_t> GetInput() override { return line_.GetInput(); }
  void SetOutput(const std::vector<uint8_t>& bytes) override {
    line_.SetOutput(bytes);
    if (afterOutput) afterOutput(bytes);
  }

 private:
  sim::SimulatedLine& line_;
};

struct StartSettings {
  int32_t port = 1;
  int32_t baudRate = 9600;
  int32_t parity = 0;
};

class Program {
 public:
  explicit Program(sim::MeterConfig meter = {}, StartSettings start = {})
      : line(clock, meter), hooked(line), dlg(host, hooked, clock) {
    dlg.m_portNumber = start.port;
    dlg.m_baudRate = start.baudRate;
    dlg.m_parity = start.parity;
    host.Open(dlg);
    // The user enters the meter's address; Run pressed twice takes it without polling.
    host.Type(dlg, 1061, std::to_string(meter.address));
    host.Click(dlg, 1063);
    host.Click(dlg, 1063);
  }
  ~Program() { host.Close(dlg); }

  modbus::VirtualClock clock;
  ui::InMemoryHost host{clock};
  sim::SimulatedLine line;
  HookedLine hooked;
  ui::CMonitorDlg dlg;

  // A click on a visible, enabled control of the main dialog.
  void Click(int id) { ASSERT_TRUE(host.Click(dlg, id)) << "control " << id; }
  // A command reaching the dialog without a control (hidden buttons, IDs with no control).
  void Command(int id) { dlg.OnCommand(id); }
  std::string Text(int id) const { return host.Control(dlg, id).text; }
  bool PollTimerRunning() const { return host.TimerRunning(dlg, ui::kPollTimer); }
  bool ProbeTimerRunning() const { return host.TimerRunning(dlg, ui::kProbeTimer); }

  // Position in the record of transmissions, to look only at what came after it.
  size_t Mark() const { return line.Written().size(); }
  std::vector<Bytes> FramesSince(size_t mark) const {
    std::vector<Bytes> frames;
    for (size_t i = mark; i < line.Written().size(); ++i) frames.push_back(line.Written()[i].bytes);
    return frames;
  }
  // Line times of those transmissions, relative to the first of them.
  std::vector<uint64_t> OffsetsSince(size_t mark) const {
    std::vector<uint64_t> offsets;
    for (size_t i = mark; i < line.Written().size(); ++i) {
      offsets.push_back(line.Written()[i].atMs - line.Written()[mark].atMs);
    }
    return offsets;
  }
  std::vector<std::string> MessagesSince(size_t mark) const {
    std::vector<std::string> texts;
    for (size_t i = mark; i < host.Messages().size(); ++i) texts.push_back(host.Messages()[i].text);
    return texts;
  }

  // Presses Run and lets the poll timer tick until the cycle has reached `state` (3: the
  // measurement block is being read), then half a period more; false when it does not get there
  // in 20 ticks.
  bool PollUntil(uint8_t state) {
    if (dlg.m_running == 0) Click(1063);
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
    host.Type(dlg, 1001, "");
    host.Type(dlg, 1022, "");
    host.RunFor(dlg.m_pollPeriodMs * ticks);
    return !Text(1001).empty() && !Text(1022).empty();
  }
};

}  // namespace kt::test
