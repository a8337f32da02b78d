// Every limit the wiring check applies, in one table, so a site engineer can read them together.
#pragma once

namespace kt::workbench {

struct WiringThresholds {
  double lostVoltageFraction = 0.50;             // of the mean of the other phases
  double voltageImbalance = 0.03;                // largest deviation from the mean, of the mean
  double lineToPhaseRatio = 1.7320508075688772;  // √3 in a star system
  double lineToPhaseTolerance = 0.05;            // relative, around √3
  double lowPowerFactor = 0.55;       // |PF| below this: the current belongs to another phase
  double loadedPhaseFraction = 0.05;  // of the largest phase current: phase counts as loaded
  // Angle between a phase and the healthy phases above which a negative power is a reversed CT
  // (about 180°) rather than a current of another phase (about 120°).
  double reversedAngleDeg = 150.0;
  double currentImbalance = 0.20;        // largest deviation from the mean, of the mean
  double zeroSequenceFraction = 0.20;    // of the mean phase current
  double totalPowerTolerance = 0.02;     // of the total apparent power
  double apparentPowerTolerance = 0.05;  // of the phase's apparent power
  double frequencyNoteHz = 0.5;          // off 50 or 60 Hz: 注意
  double frequencyFaultHz = 5.0;         // off 50 or 60 Hz: 异常
  double ctRatedSecondaryA = 5.0;        // above this on the CT's secondary: 注意
  double minimumCurrentFraction = 0.01;  // of the CT's primary rating (ratio × rated secondary)
};

inline constexpr WiringThresholds kWiringThresholds{};

}  // namespace kt::workbench
