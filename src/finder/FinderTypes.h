// What the finder sweeps and what it reports, as plain data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "modbus/ConfigurationBlock.h"

namespace kt::finder {

// The slave addresses a meter may have; 0 is the broadcast, which nobody answers.
inline constexpr int kFirstAddress = 1;
inline constexpr int kLastAddress = 247;
// The addresses tried at every setting before any other.
inline constexpr int kLastLikelyAddress = 16;

// One line to sweep: a port number as the monitor opens it.
struct CandidateLine {
  int32_t portNumber = 1;
  std::string device{};  // what the number opens ("/dev/ttyUSB0", "tcp://..."); may be empty
  // false for a device server: its serial side is configured on the server, so only the
  // addresses are swept.
  bool sweepSettings = true;
};

// One of the fifteen line settings: a supported baud rate and a parity code (0 none, 1 odd,
// 2 even, as the meter codes it).
struct SweepSetting {
  int32_t baudRate = 9600;
  int32_t parity = 0;
  bool operator==(const SweepSetting&) const = default;
};

// One request the finder makes.
struct Attempt {
  CandidateLine line{};
  std::optional<SweepSetting> setting{};  // none on a line without settings
  int address = kFirstAddress;
};

struct FoundMeter {
  CandidateLine line{};
  std::optional<SweepSetting> setting{};  // none on a line without settings
  int address = kFirstAddress;
  // The configuration block, when the meter answered its read too.
  std::optional<modbus::MeterConfiguration> configuration{};
};

// A line that could not be used, with the refusal in the user's words.
struct LineFailure {
  CandidateLine line{};
  std::string reason{};
};

struct FinderProgress {
  uint64_t probesDone = 0;
  uint64_t probesTotal = 0;
  uint64_t remainingMs = 0;  // the waits still ahead if nothing answers
};

}  // namespace kt::finder
