// Figures of the bus poller in virtual time on the in-process simulated line: the time of one
// round over 1, 8 and 32 meters at 9600 and 19200 against the line's limit (the bytes of each
// exchange at the line's character time plus each meter's answer time), the scheduler ticking
// every 10 ms as in the program. The meters answer after 20..300 ms, each its own. A second
// column gives the round while a stand-in for the main dialog polls meter 1 every 500 ms (take
// what came, send the next request), its share of the line not counted in the limit, and how
// many meters were read: one whose block read cannot fit between two of its ticks is not.
// A second table gives the blocks a minute of one meter beside the main dialog (its own meter
// answering after 30 ms) at 9600, by the meter's answer time.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
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
  int mainHeld = 0;    // the main dialog's sends that waited for the bus, and the longest wait
  uint32_t longestMainHeldMs = 0;
};

sim::MeterConfig ConfigFor(uint8_t address, uint32_t answerMs, int baud) {
  sim::MeterConfig c;
  c.baudRate = baud;
  c.delayFromRequestEnd = true;
  c.address = address;
  c.responseDelayMs = answerMs;
  return c;
}

// Meters 1.. answering after `answerMs` each on one simulated line at `baud`; the bus polls
// meters 2..; with `mainDialog` meter 1 is polled every 500 ms by a stand-in for the main
// dialog's tick (take what came, send the next request: the block, then the power multiplier's
// register, in turn).
struct BenchLine {
  BenchLine(const std::vector<uint32_t>& answerMs, int baud, bool withMainDialog)
      : line(clock, ConfigFor(1, answerMs[0], baud)), mainDialog(withMainDialog) {
    std::vector<bus::BusMeterEntry> entries;
    for (size_t i = 1; i < answerMs.size(); ++i) {
      const auto address = static_cast<uint8_t>(i + 1);
      line.AddMeter(ConfigFor(address, answerMs[i], baud));
      entries.push_back({address, ""});
    }
    port.SetSettings(std::to_string(baud) + "N,8,2");
    port.SetPortOpen(true);
    poller.SetMeters(entries);
    poller.Start();
    scheduler.SetClient(&poller);
    if (mainDialog) scheduler.MainPollTimer(500);
    for (const auto& [start, count] : {std::pair<uint16_t, uint16_t>{0x0000, 45}, {0x030A, 1}}) {
      modbus::RequestBuffer request{};
      const int16_t n = modbus::BuildReadRequest(request, 1, start, count);
      polls.emplace_back(request.begin(), request.begin() + n);
    }
  }

  // Ticks every 10 ms, as the program's scheduler, until `done` holds or the time is up. Both
  // timers keep their phase when the main dialog's send waited for the bus.
  void RunUntil(const std::function<bool()>& done) {
    while (!done() && Elapsed() < kGiveUpMs) {
      clock.Advance(kTickMs - Elapsed() % kTickMs);
      if (mainDialog && Elapsed() >= nextMainMs) {
        (void)port.GetInput();
        const uint32_t due = clock.GetTickCount();
        port.SetOutput(polls[nextMainMs / 500 % 2]);
        const uint32_t held = clock.GetTickCount() - due;
        mainHeld += held > 0 ? 1 : 0;
        longestMainHeldMs = std::max(longestMainHeldMs, held);
        nextMainMs += 500;
      }
      scheduler.Tick();
    }
  }
  uint32_t Elapsed() const { return static_cast<uint32_t>(clock.ElapsedMs()); }
  // Requests to the bus's meters so far.
  size_t BusRequests() {
    for (; seen < line.Written().size(); ++seen) {
      busRequests += line.Written()[seen].bytes[0] != 1 ? 1 : 0;
    }
    return busRequests;
  }

  modbus::VirtualClock clock;
  sim::SimulatedLine line;
  bus::LineScheduler scheduler{line, clock};
  serial::SerialControl& port = scheduler.MainPort();
  bus::BusPoller poller{clock};
  bool mainDialog;
  std::vector<std::vector<uint8_t>> polls;
  uint32_t nextMainMs = 500;
  int mainHeld = 0;  // sends of the main dialog that waited for the bus
  uint32_t longestMainHeldMs = 0;
  size_t seen = 0;
  size_t busRequests = 0;
};

// The bus polls meters 2..meters+1; with `mainDialog` meter 1 is the main dialog's.
Figure Measure(int meters, int baud, bool mainDialog) {
  std::vector<uint32_t> answers;
  Figure f;
  for (int a = 1; a <= meters + 1; ++a) {
    answers.push_back(AnswerMsOf(a));
    if (a > 1) f.limitMs += CharsMs(baud, 8 + 95) + AnswerMsOf(a);
  }
  BenchLine bench(answers, baud, mainDialog);
  // The first round reads the configurations; the figure is the mean of the rounds after it
  // (with the configuration read again every so many blocks).
  const size_t perRound = static_cast<size_t>(meters);
  bench.RunUntil([&] { return bench.BusRequests() >= 2 * perRound; });
  const uint32_t from = bench.Elapsed();
  bench.RunUntil([&] { return bench.BusRequests() >= (2 + kRounds) * perRound; });
  for (const bus::BusMeter& m : bench.poller.Meters()) f.metersRead += m.lastBlock ? 1 : 0;
  f.mainHeld = bench.mainHeld;
  f.longestMainHeldMs = bench.longestMainHeldMs;
  f.roundMs =
      bench.Elapsed() >= kGiveUpMs ? -1 : static_cast<double>(bench.Elapsed() - from) / kRounds;
  return f;
}

// Blocks a minute of meter 2 answering after `answerMs` beside the main dialog's meter (30 ms),
// counted over the minute after its first 5 s.
int BlocksPerMinute(uint32_t answerMs) {
  BenchLine bench({30, answerMs}, 9600, true);
  int blocks = 0;
  bench.poller.onBlock = [&blocks](const values::MeasuredBlock&) { ++blocks; };
  bench.RunUntil([&] { return bench.Elapsed() >= 5000; });
  blocks = 0;
  bench.RunUntil([&] { return bench.Elapsed() >= 65000; });
  return blocks;
}

}  // namespace

int main() {
  std::printf(
      "meters  baud   limit(ms)  round(ms)  ratio  with the main dialog: round(ms), meters read, "
      "its sends held (times, longest ms)\n");
  for (const int baud : {9600, 19200}) {
    for (const int meters : {1, 8, 32}) {
      const Figure alone = Measure(meters, baud, false);
      const Figure shared = Measure(meters, baud, true);
      std::printf("%6d  %5d  %9.0f  %9.0f  %5.3f  %9.0f  %d  %d  %u\n", meters, baud, alone.limitMs,
                  alone.roundMs, alone.roundMs / alone.limitMs, shared.roundMs, shared.metersRead,
                  shared.mainHeld, shared.longestMainHeldMs);
    }
  }
  std::printf("\none meter beside the main dialog at 9600: answer(ms)  blocks a minute\n");
  for (const uint32_t answerMs : {20U, 100U, 150U, 180U, 200U, 250U, 300U}) {
    std::printf("%10u  %5d\n", answerMs, BlocksPerMinute(answerMs));
  }
  return 0;
}
