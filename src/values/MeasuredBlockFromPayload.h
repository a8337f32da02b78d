// The measurement block's payload as a MeasuredBlock, for the observers of the monitor.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "values/MeasuredBlock.h"
#include "values/MeasurementBlock.h"

namespace kt::values {

// The values the display shows (DecodeBlock's result) with the configuration they were scaled
// with. The status pair is left empty; the caller adds it when it came with the block.
MeasuredBlock ToMeasuredBlock(const std::array<ShownValue, kShownValueCount>& shown,
                              const ScaleFactors& scale, uint8_t wiringMode, uint8_t slaveAddress,
                              std::chrono::system_clock::time_point time);

// Scales the 90 payload bytes at `payload` as the display does, then as above.
MeasuredBlock ToMeasuredBlock(const uint8_t* payload, const ScaleFactors& scale, uint8_t wiringMode,
                              uint8_t slaveAddress, std::chrono::system_clock::time_point time);

}  // namespace kt::values
