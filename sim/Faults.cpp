// Shaping a reply by the faults that are switched on.
#include "sim/Faults.h"

namespace kt::sim {

bool FaultInjector::Hits() {
  return config_.probability >= 1.0 || prng_.Unit() < config_.probability;
}

std::vector<uint8_t> FaultInjector::Noise(size_t count) {
  std::vector<uint8_t> noise(count);
  for (uint8_t& b : noise) b = prng_.Byte();
  return noise;
}

std::vector<ReplyBurst> FaultInjector::Shape(std::vector<uint8_t> bytes, size_t frameLength) {
  ++replies_;
  if (replies_ <= config_.dropFirst) return {};
  if (config_.dropEveryNth > 0 && replies_ % config_.dropEveryNth == 0) return {};
  if (config_.dropProbability > 0 && prng_.Unit() < config_.dropProbability) return {};

  if (config_.corruptCrc && frameLength >= 2 && Hits()) bytes[frameLength - 1] ^= 0xFF;
  size_t frameStart = 0;
  if (config_.noiseBytes > 0 && Hits()) {
    std::vector<uint8_t> noise = Noise(config_.noiseBytes);
    bytes.insert(bytes.begin(), noise.begin(), noise.end());
    frameStart = noise.size();
  }
  if (config_.strayBytes > 0 && Hits()) {
    std::vector<uint8_t> stray = Noise(config_.strayBytes);
    bytes.insert(bytes.end(), stray.begin(), stray.end());
  }
  const uint64_t lateUs = config_.lateMs > 0 && Hits() ? uint64_t{config_.lateMs} * 1000 : 0;

  if (config_.splitGapMs > 0 && frameLength >= 2 && Hits()) {
    // Cut somewhere inside the frame itself, never before its first or after its last byte.
    const size_t cut = frameStart + 1 + prng_.Below(static_cast<uint32_t>(frameLength - 1));
    std::vector<uint8_t> tail(bytes.begin() + static_cast<long>(cut), bytes.end());
    bytes.resize(cut);
    return {{lateUs, std::move(bytes)}, {uint64_t{config_.splitGapMs} * 1000, std::move(tail)}};
  }
  return {{lateUs, std::move(bytes)}};
}

}  // namespace kt::sim
