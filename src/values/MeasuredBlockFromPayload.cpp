// The block decoder's values, in its order, as a MeasuredBlock.
#include "values/MeasuredBlockFromPayload.h"

namespace kt::values {

// The decoder yields the values in the order of Quantity; this is what lets a plain copy work.
static_assert(kShownValueCount == static_cast<int>(kQuantityCount));

MeasuredBlock ToMeasuredBlock(const std::array<ShownValue, kShownValueCount>& shown,
                              const ScaleFactors& scale, uint8_t wiringMode, uint8_t slaveAddress,
                              std::chrono::system_clock::time_point time) {
  MeasuredBlock block;
  block.time = time;
  block.slaveAddress = slaveAddress;
  block.wiringMode = wiringMode;
  block.ptRatio = scale.ptRatio;
  block.ctRatio = scale.ctRatio;
  for (std::size_t i = 0; i < kQuantityCount; ++i) block.values[i] = shown[i].value;
  return block;
}

MeasuredBlock ToMeasuredBlock(const uint8_t* payload, const ScaleFactors& scale, uint8_t wiringMode,
                              uint8_t slaveAddress, std::chrono::system_clock::time_point time) {
  return ToMeasuredBlock(DecodeBlock(payload, scale), scale, wiringMode, slaveAddress, time);
}

}  // namespace kt::values
