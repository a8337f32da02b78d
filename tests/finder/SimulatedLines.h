// The finder's lines in tests: every opened port is a handle on one simulated bus (with its
// missing and busy ports), and every request is recorded with the settings it went out at.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "finder/MeterFinder.h"
#include "modbus/Clock.h"
#include "sim/SimulatedLine.h"

namespace kt::finder::testing {

// The few settings of a simulated meter the finder cares about.
struct MeterSpec {
  uint8_t address = 1;
  int32_t baudRate = 9600;
  int32_t parity = 0;
  uint16_t ptRatio = 1;
  uint16_t ctRatio = 1;
  uint8_t wiring = 0;
  uint32_t answerMs = 20;  // from the request's last byte to the reply's first bit
  bool anyParity = false;
  sim::FaultConfig faults{};
};

inline sim::MeterConfig MeterAt(const MeterSpec& spec) {
  sim::MeterConfig c;
  c.address = spec.address;
  c.baudRate = spec.baudRate;
  c.parity = spec.parity;
  c.ptRatio = spec.ptRatio;
  c.ctRatio = spec.ctRatio;
  c.wiring = spec.wiring;
  c.responseDelayMs = spec.answerMs;
  c.delayFromRequestEnd = true;
  c.anyParity = spec.anyParity;
  c.faults = spec.faults;
  return c;
}

struct SentRequest {
  uint64_t atMs;
  int16_t port;
  std::string settings;
  std::vector<uint8_t> bytes;
};

struct Bus {
  explicit Bus(modbus::VirtualClock& virtualClock, const MeterSpec& first = {})
      : clock(virtualClock), line(virtualClock, MeterAt(first)) {}
  // The line a port opens: the meter's (every port's when it hangs on none in particular), or
  // an empty one of the port's own, refused as the meter's line refuses that port.
  sim::SimulatedLine& LineOf(int16_t port) {
    if (line.MeterPortNumber() == 0 || line.MeterPortNumber() == port) return line;
    auto& other = others[port];
    if (!other) {
      other = std::make_unique<sim::SimulatedLine>(clock);
      other->SetMeterConnected(false);
      other->SetPortMissing(port, line.PortMissing(port));
      other->SetPortInUse(port, line.PortInUse(port));
    }
    return *other;
  }
  modbus::VirtualClock& clock;
  sim::SimulatedLine line;
  std::map<int16_t, std::unique_ptr<sim::SimulatedLine>> others;
  std::vector<SentRequest> sent;
  int opened = 0;
  // After each request at these settings, bytes that are no frame arrive (a meter at other
  // settings, heard as garbage).
  std::optional<std::string> garbageAt;
};

class BusHandle : public serial::SerialControl {
 public:
  BusHandle(Bus& bus, int16_t port) : bus_(bus), line_(bus.LineOf(port)), port_(port) {
    line_.SetCommPort(port);
  }
  void SetCommPort(int16_t port) override { line_.SetCommPort(port); }
  void SetSettings(const std::string& s) override { line_.SetSettings(s); }
  void SetPortOpen(bool open) override {
    line_.SetPortOpen(open);
    if (open) ++bus_.opened;
  }
  bool GetPortOpen() const override { return line_.GetPortOpen(); }
  void SetInputLen(int16_t n) override { line_.SetInputLen(n); }
  void SetInBufferCount(int16_t n) override { line_.SetInBufferCount(n); }
  int16_t GetInBufferCount() override { return line_.GetInBufferCount(); }
  std::vector<uint8_t> GetInput() override { return line_.GetInput(); }
  void SetOutput(const std::vector<uint8_t>& bytes) override {
    line_.SetOutput(bytes);
    bus_.sent.push_back({line_.NowMs(), port_, line_.Settings(), bytes});
    if (bus_.garbageAt == line_.Settings()) line_.InjectBytes({0xFE, 0x7F, 0x00});
  }

 private:
  Bus& bus_;
  sim::SimulatedLine& line_;
  int16_t port_;
};

inline LineOpener OpenerOn(Bus& bus) {
  return [&bus](const CandidateLine& line) -> std::unique_ptr<serial::SerialControl> {
    return std::make_unique<BusHandle>(bus, static_cast<int16_t>(line.portNumber));
  };
}

// One bus per port, swept at the same time.
inline LineOpener OpenerOn(std::vector<Bus*> buses) {
  return [buses](const CandidateLine& line) -> std::unique_ptr<serial::SerialControl> {
    return std::make_unique<BusHandle>(*buses.at(static_cast<size_t>(line.portNumber - 1)),
                                       static_cast<int16_t>(line.portNumber));
  };
}

// The probes (reads of one register) sent, as settings and address.
inline std::vector<std::pair<std::string, int>> Probes(const Bus& bus) {
  std::vector<std::pair<std::string, int>> probes;
  for (const auto& r : bus.sent) {
    if (r.bytes[5] == 0x01) probes.push_back({r.settings, r.bytes[0]});
  }
  return probes;
}

inline constexpr uint32_t kTickMs = 10;

// Ticks in virtual time until the finder is through (or `maxTicks` ticks have passed).
inline void RunToEnd(MeterFinder& finder, modbus::VirtualClock& clock, int maxTicks = 1'000'000) {
  for (int i = 0; i < maxTicks && !finder.Finished(); ++i) {
    finder.Tick();
    clock.Advance(kTickMs);
  }
}

}  // namespace kt::finder::testing
