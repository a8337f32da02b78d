// Decoded blocks of the simulated meter's load, as the monitor would decode them, without a line:
// the load model, the block's registers and the monitor's decoder, given kt7340-sim's options.
#pragma once

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/LoadModel.h"
#include "sim/MeasurementEncoding.h"
#include "sim/SimOptions.h"
#include "values/MeasuredBlock.h"
#include "values/MeasuredBlockFromPayload.h"

namespace kt::testing {

class SimulatedBlocks {
 public:
  // `options` as on kt7340-sim's command line, for example {"--reverse-ct", "B", "--ct", "20"}.
  explicit SimulatedBlocks(const std::vector<std::string>& options = {})
      : config_(Parse(options)), model_(config_.load, config_.seed) {}

  const sim::MeterConfig& config() const { return config_; }
  // Changes the load from the next block on (energies go on accumulating).
  void SetLoad(const sim::LoadProfile& load) {
    config_.load = load;
    model_.SetProfile(load);
  }

  // The block as it would be decoded at `time`.
  values::MeasuredBlock At(std::chrono::system_clock::time_point time) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch());
    const sim::MeasuredValues values = model_.Sample(
        static_cast<uint64_t>(us.count()), config_.wiring, config_.ptRatio, config_.ctRatio);
    const int k = config_.powerMultiplierFlag ? 4 : 1;
    const auto registers =
        sim::EncodeMeasurementBlock(values, {config_.ptRatio, config_.ctRatio, k, 1.0});
    std::vector<uint8_t> payload;
    for (uint16_t r : registers) {
      payload.push_back(static_cast<uint8_t>(r >> 8));
      payload.push_back(static_cast<uint8_t>(r & 0xFF));
    }
    return values::ToMeasuredBlock(payload.data(), {config_.ptRatio, config_.ctRatio, k, 1},
                                   config_.wiring, config_.address, time);
  }

 private:
  static sim::MeterConfig Parse(const std::vector<std::string>& options) {
    std::vector<const char*> argv = {"kt7340-sim"};
    for (const std::string& o : options) argv.push_back(o.c_str());
    sim::SimOptions parsed;
    if (auto error = sim::ParseSimOptions(static_cast<int>(argv.size()), argv.data(), parsed)) {
      throw std::invalid_argument(*error);
    }
    return parsed.meter;
  }

  sim::MeterConfig config_;
  sim::LoadModel model_;
};

}  // namespace kt::testing
