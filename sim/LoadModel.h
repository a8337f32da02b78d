// The live three-phase load: phasors with seeded noise, and energies that accumulate with time.
#pragma once

#include <cstdint>

#include "sim/MeasuredValues.h"
#include "sim/MeterConfig.h"
#include "sim/Prng.h"

namespace kt::sim {

class LoadModel {
 public:
  LoadModel(const LoadProfile& profile, uint32_t seed);

  void SetProfile(const LoadProfile& profile) { profile_ = profile; }
  const LoadProfile& profile() const { return profile_; }

  // Values at `nowUs` for the given wiring code and ratios. Energies grow by the power of the
  // previous sample over the time since it; the first sample starts the clock. Status bytes are
  // left 0 (the meter compares with its limits).
  MeasuredValues Sample(uint64_t nowUs, uint8_t wiring, uint16_t pt, uint16_t ct);

 private:
  LoadProfile profile_;
  Prng prng_;
  bool started_ = false;
  uint64_t lastUs_ = 0;
  double lastActiveW_ = 0;
  double lastReactiveVar_ = 0;
  double forwardActiveWh_;
  double reverseActiveWh_;
  double forwardReactiveVarh_;
  double reverseReactiveVarh_;
};

}  // namespace kt::sim
