// The command line of kt7340-sim.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/MeterConfig.h"

namespace kt::sim {

// One --meter: its address, and what it has of its own beside the other options.
struct MeterOption {
  uint8_t address = 1;
  std::optional<uint16_t> ptRatio{};
  std::optional<uint16_t> ctRatio{};
  std::optional<uint8_t> wiring{};
  // delay=MS: its own answer delay, as --answer-delay.
  std::optional<uint32_t> answerDelayMs{};
  // site=...: its own site and faults, as the options of those groups ("--load", "60", ...),
  // read after the options of all.
  std::vector<std::string> siteArgs{};
};

struct SimOptions {
  MeterConfig meter;
  // --meter, in order; empty: the one meter of `meter`.
  std::vector<MeterOption> meters;
  // A master at other line settings hears garbage instead of silence.
  bool mismatchGarbage = false;
  // The line gives every byte of the master back (an RS-485 adapter that hears itself).
  bool echo = false;
  // No meter on the line: nothing answers (with --echo, an adapter with nothing attached).
  bool noMeter = false;
  std::string device;  // empty: serve a new pseudo-terminal
  std::string link;    // empty: no symbolic link
  std::string tcp;     // HOST:PORT to serve over TCP instead of a line; empty: a line
  bool quiet = false;  // no request/reply log
  bool wireTiming = true;
  bool help = false;
  // Every argument but the --meter ones, so that a meter's site options go on from them.
  std::vector<std::string> args;
};

// Fills `out` from the arguments; returns a message for the first one that is not understood.
std::optional<std::string> ParseSimOptions(int argc, const char* const* argv, SimOptions& out);
std::string SimUsage();

// The meters on the line: `meter` alone, or one per --meter with its own address, registers and
// seed and everything else from `meter`.
std::vector<MeterConfig> MetersOf(const SimOptions& options);

}  // namespace kt::sim
