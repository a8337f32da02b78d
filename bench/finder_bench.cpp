// Figures of the finder in virtual time on the in-process simulated line (10 ms ticks, as the
// window's timer and `kt7340 --find` drive it): how long until a meter is listed, by its
// address, settings and answer time; a full sweep of one empty port; two empty ports together.
#include <cstdio>
#include <vector>

#include "finder/MeterFinder.h"
#include "tests/finder/SimulatedLines.h"

namespace {

using namespace kt::finder;
using namespace kt::finder::testing;

double Seconds(const kt::modbus::VirtualClock& clock) {
  return static_cast<double>(clock.ElapsedMs()) / 1000.0;
}

void TimeToFind() {
  std::puts("Time to find one meter on port 1 (--first; the settings tried first: 9600 none)");
  std::puts("  address  settings     answer   found after");
  struct Setting {
    int32_t baud;
    int32_t parity;
    const char* name;
  };
  for (const Setting s : {Setting{9600, 0, "9600 none"}, Setting{1200, 1, "1200 odd "}}) {
    for (const uint32_t answerMs : {20u, 300u}) {
      for (const int a : {1, 16, 17, 247}) {
        const auto address = static_cast<uint8_t>(a);
        kt::modbus::VirtualClock clock;
        Bus bus(clock,
                {.address = address, .baudRate = s.baud, .parity = s.parity, .answerMs = answerMs});
        MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock, {.stopAfterFirst = true});
        RunToEnd(finder, clock);
        const bool found = finder.Found().size() == 1 && finder.Found()[0].address == address;
        std::printf("  %7d  %s  %4u ms   %7.1f s%s\n", address, s.name, answerMs, Seconds(clock),
                    found ? "" : "  NOT FOUND");
      }
    }
  }
}

void EmptySweeps() {
  for (const bool echo : {false, true}) {
    kt::modbus::VirtualClock clock;
    Bus bus(clock);
    bus.line.SetMeterConnected(false);
    bus.line.SetEcho(echo);
    MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock);
    RunToEnd(finder, clock);
    std::printf("Full sweep of one empty port%s: %.1f s (%.2f min), %zu requests, %zu found\n",
                echo ? " (adapter that echoes)" : "", Seconds(clock), Seconds(clock) / 60,
                bus.sent.size(), finder.Found().size());
  }
  kt::modbus::VirtualClock clock;
  Bus one(clock);
  Bus two(clock);
  one.line.SetMeterConnected(false);
  two.line.SetMeterConnected(false);
  MeterFinder finder({{1, "", true}, {2, "", true}}, OpenerOn({&one, &two}), clock);
  RunToEnd(finder, clock);
  std::printf("Full sweep of two empty ports together: %.1f s (%.2f min), %zu + %zu requests\n",
              Seconds(clock), Seconds(clock) / 60, one.sent.size(), two.sent.size());
}

}  // namespace

int main() {
  TimeToFind();
  EmptySweeps();
  return 0;
}
