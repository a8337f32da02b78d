// Figures of the bus poller in virtual time on the in-process simulated line: the time of one
// round over 1, 8 and 32 meters at 9600 and 19200 against the line's limit (the bytes of each
// exchange at the line's character time plus each meter's answer time), the scheduler ticking
// every 10 ms as in the program. The meters answer after 20..300 ms, each its own. A second
// column gives the round while a stand-in for the main dialog polls meter 1 every 500 ms (take
// what came, send the next request), its share of the line not counted in the limit, and how
// many meters were read: one whose block read cannot fit between two of its ticks is not.
#include <cstdio>
#include <utility>
#include <vector>

#include "bus/BusPoller.h"
#include "bus/LineScheduler.h"
#include "modbus/Clock.h"
#include "modbus/RequestFrames.h"
#include "sim/SimulatedLine.h"

namespace {

using namespace kt;

constexpr uint32_t kTickMs = 10;
constexpr int kRounds = 20;
constexpr uint32_t kGiveUpMs = 600'000;  // of virtual time: the round is then not measured

uint32_t AnswerMsOf(int address) {
  return 20 + static_cast<uint32_t>(address * 37 % 281);  // 20..300 ms
}

double CharsMs(int baud, int chars) {
  return chars * 11.0 * 1000.0 / baud;
}

struct Figure {
  double roundMs = 0;
  double limitMs = 0;
  int metersRead = 0;  // meters with a block at the end
};

// The bus polls meters 2..meters+1; with `mainDialog` meter 1 is polled every 500 ms by a
// stand-in for the main dialog's tick (take what came, send the next request).
Figure Measure(int meters, int baud, bool mainDialog) {
  modbus::VirtualClock clock;
  auto configFor = [&](int address) {
    sim::MeterConfig c;
    c.baudRate = baud;
    c.delayFromRequestEnd = true;
    c.address = static_cast<uint8_t>(address);
    c.responseDelayMs = AnswerMsOf(address);
    return c;
  };
  sim::SimulatedLine line(clock, configFor(1));
  for (int a = 2; a <= meters + 1; ++a) line.AddMeter(configFor(a));
  bus::LineScheduler scheduler(line, clock);
  serial::SerialControl& port = scheduler.MainPort();
  port.SetSettings(std::to_string(baud) + "N,8,2");
  port.SetPortOpen(true);
  bus::BusPoller poller(clock);
  std::vector<bus::BusMeterEntry> entries;
  Figure f;
  for (int a = 2; a <= meters + 1; ++a) {
    entries.push_back({static_cast<uint8_t>(a), ""});
    f.limitMs += CharsMs(baud, 8 + 95) + AnswerMsOf(a);
  }
  poller.SetMeters(entries);
  poller.Start();
  scheduler.SetClient(&poller);
  if (mainDialog) scheduler.MainPollTimer(500);
  // As the main dialog's cycle: the block, then the power multiplier's register, in turn.
  std::vector<std::vector<uint8_t>> polls;
  for (const auto& [start, count] : {std::pair<uint16_t, uint16_t>{0x0000, 45}, {0x030A, 1}}) {
    modbus::RequestBuffer request{};
    const int16_t n = modbus::BuildReadRequest(request, 1, start, count);
    polls.emplace_back(request.begin(), request.begin() + n);
  }
  size_t seen = 0;
  size_t bus = 0;
  auto busRequests = [&] {
    for (; seen < line.Written().size(); ++seen) bus += line.Written()[seen].bytes[0] != 1 ? 1 : 0;
    return bus;
  };
  uint32_t elapsed = 0;
  auto runUntil = [&](size_t requests) {
    while (busRequests() < requests && elapsed < kGiveUpMs) {
      clock.Advance(kTickMs);
      elapsed += kTickMs;
      if (mainDialog && elapsed % 500 == 0) {
        (void)port.GetInput();
        port.SetOutput(polls[elapsed / 500 % 2]);
      }
      scheduler.Tick();
    }
  };
  // The first round reads the configurations; the figure is the mean of the rounds after it
  // (with the configuration read again every so many blocks).
  const size_t perRound = static_cast<size_t>(meters);
  runUntil(2 * perRound);
  const uint32_t from = elapsed;
  runUntil((2 + kRounds) * perRound);
  for (const bus::BusMeter& m : poller.Meters()) f.metersRead += m.lastBlock ? 1 : 0;
  f.roundMs = elapsed >= kGiveUpMs ? -1 : static_cast<double>(elapsed - from) / kRounds;
  return f;
}

}  // namespace

int main() {
  std::printf(
      "meters  baud   limit(ms)  round(ms)  ratio  with the main dialog: round(ms), meters read\n");
  for (const int baud : {9600, 19200}) {
    for (const int meters : {1, 8, 32}) {
      const Figure alone = Measure(meters, baud, false);
      const Figure shared = Measure(meters, baud, true);
      std::printf("%6d  %5d  %9.0f  %9.0f  %5.3f  %9.0f  %d\n", meters, baud, alone.limitMs,
                  alone.roundMs, alone.roundMs / alone.limitMs, shared.roundMs, shared.metersRead);
    }
  }
  return 0;
}
