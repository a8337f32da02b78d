// Settings of the simulated meter: its line, its scale registers, the load it measures, its faults.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "sim/WiringFaults.h"

namespace kt::sim {

// Faults the meter can show on the line; each is off by default. Every random choice comes from
// `seed`, so a given seed gives the same faults on every run.
struct FaultConfig {
  uint16_t noiseBytes = 0;       // random bytes sent just before a reply
  uint32_t splitGapMs = 0;       // a reply is sent in two parts with this silence between them
  uint32_t lateMs = 0;           // extra delay before a reply
  double dropProbability = 0.0;  // chance that a reply is not sent at all
  uint32_t dropEveryNth = 0;     // every Nth reply is not sent (0: off)
  uint32_t dropFirst = 0;        // the first N replies are not sent
  bool corruptCrc = false;       // the reply goes out with its last CRC byte inverted
  uint16_t strayBytes = 0;       // random bytes sent right after a reply, in the same burst
  double probability = 1.0;      // chance that each enabled fault above (drops aside) hits a reply
  uint32_t seed = 1;
};

inline constexpr double kSamePowerFactor = std::numeric_limits<double>::quiet_NaN();

// The load as the meter's inputs see it (secondary side); PT and CT scale it to the primary side.
struct LoadProfile {
  std::array<double, 3> phaseVoltage{220.0, 221.0, 219.0};  // V
  std::array<double, 3> current{1.50, 1.62, 1.41};          // A
  double powerFactor = 0.95;                                // lagging 0..1, leading below 0
  // Each phase's own power factor (as powerFactor) where its load differs; NaN: powerFactor.
  std::array<double, 3> phasePowerFactor{kSamePowerFactor, kSamePowerFactor, kSamePowerFactor};
  double ctSecondaryA = 5.0;  // the CTs' rated secondary current, 5 A or 1 A
  double frequencyHz = 50.0;
  double noise = 0.002;  // relative amplitude of the block-to-block movement
  WiringFaults wiringFaults;
};

struct MeterConfig {
  uint8_t address = 1;
  int32_t baudRate = 9600;
  int32_t parity = 0;  // 0 N,8,2  1 O,8,1  2 E,8,1
  uint16_t ptRatio = 1;
  uint16_t ctRatio = 1;
  uint8_t wiring = 0;                // 0..5 as the meter settings dialog numbers them
  uint8_t accuracyClass = 0;         // 0 class 0.5, 1 class 0.2
  bool powerMultiplierFlag = false;  // register 0x0305 low byte 1: powers carry k = 4
  uint8_t energyExponent = 0;        // register 0x0306: energies carry E = 10^exponent
  // Under and over voltage (x PT / 100 V), under and over current (x CT / 10000 A).
  std::array<uint16_t, 4> parameters{19800, 24200, 500, 50000};
  bool statusTrailer = false;  // the two status bytes follow the measurement-block reply
  uint32_t responseDelayMs = 20;
  // The reply starts responseDelayMs after the request's last byte (not after the silence that
  // ends it), as a meter's answer time is measured; never before that silence.
  bool delayFromRequestEnd = false;
  bool anyParity = false;  // understands a master at its baud rate whatever the parity, and
                           // answers at the master's parity
  FaultConfig faults;
  uint32_t seed = 1;  // drives the noise of the measured values
  LoadProfile load;
};

}  // namespace kt::sim
