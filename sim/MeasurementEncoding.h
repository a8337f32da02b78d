// Physical values to the 45 registers of the measurement block, the inverse of the monitor's
// decoding: raw = round(value / scale), clamped to the register's range.
#pragma once

#include <array>
#include <cstdint>

#include "sim/MeasuredValues.h"

namespace kt::sim {

constexpr uint16_t kBlockStart = 0x0000;
constexpr uint16_t kBlockRegisters = 45;
constexpr double kFrequencyStepHz = 0.00106813;

struct BlockScales {
  uint16_t pt = 1;
  uint16_t ct = 1;
  int k = 1;       // power multiplier, 1 or 4
  double e = 1.0;  // energy multiplier, a power of ten
};

std::array<uint16_t, kBlockRegisters> EncodeMeasurementBlock(const MeasuredValues& values,
                                                             const BlockScales& scales);

// The four voltage items (phases A, B, C, combined) against the under/over voltage limits and the
// four current items (phases A, B, C, combined) against the current limits, packed item 1 in bits
// 7-6 down to item 4 in bits 1-0; 1 under, 2 over, 0 normal. A limit of 0 is switched off.
struct LimitStatus {
  uint8_t voltage = 0;
  uint8_t current = 0;
};
LimitStatus CompareWithLimits(const MeasuredValues& values, const std::array<uint16_t, 4>& limits,
                              uint16_t pt, uint16_t ct);

}  // namespace kt::sim
