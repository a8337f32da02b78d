// A small seeded generator whose sequence is the same on every platform (splitmix64).
#pragma once

#include <cstdint>

namespace kt::sim {

class Prng {
 public:
  explicit Prng(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [-1, 1).
  double Symmetric() { return 2.0 * Unit() - 1.0; }
  // Uniform in [0, n) for n > 0.
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
  uint8_t Byte() { return static_cast<uint8_t>(Next() >> 56); }

 private:
  uint64_t state_;
};

}  // namespace kt::sim
