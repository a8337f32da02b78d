// The command line of kt7340-sim.
#pragma once

#include <optional>
#include <string>

#include "sim/MeterConfig.h"

namespace kt::sim {

struct SimOptions {
  MeterConfig meter;
  std::string device;  // empty: serve a new pseudo-terminal
  std::string link;    // empty: no symbolic link
  std::string tcp;     // HOST:PORT to serve over TCP instead of a line; empty: a line
  bool quiet = false;  // no request/reply log
  bool wireTiming = true;
  bool help = false;
};

// Fills `out` from the arguments; returns a message for the first one that is not understood.
std::optional<std::string> ParseSimOptions(int argc, const char* const* argv, SimOptions& out);
std::string SimUsage();

}  // namespace kt::sim
