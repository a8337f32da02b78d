// Seeded faults on the meter's replies: noise, split, late, dropped, bad CRC, stray bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/MeterConfig.h"
#include "sim/Prng.h"

namespace kt::sim {

// One burst of a reply: sent after `gapUs` of silence (counted from the end of the previous
// burst, or for the first from the moment the reply is due).
struct ReplyBurst {
  uint64_t gapUs;
  std::vector<uint8_t> bytes;
};

class FaultInjector {
 public:
  explicit FaultInjector(const FaultConfig& config) : config_(config), prng_(config.seed) {}

  // The bursts in which a reply of `bytes` (its Modbus frame the first `frameLength` bytes)
  // goes out; none when it is dropped. Without faults: one burst, no gap.
  std::vector<ReplyBurst> Shape(std::vector<uint8_t> bytes, size_t frameLength);

 private:
  bool Hits();
  std::vector<uint8_t> Noise(size_t count);

  FaultConfig config_;
  Prng prng_;
  uint64_t replies_ = 0;
};

}  // namespace kt::sim
