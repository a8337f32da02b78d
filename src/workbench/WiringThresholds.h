// Every limit the wiring check applies, in one table, so a site engineer can read them together.
#pragma once

namespace kt::workbench {

struct WiringThresholds {
  // Voltages.
  double lostVoltageFraction = 0.50;             // of the mean of the other phases
  double voltageImbalance = 0.06;                // largest deviation from the mean, of the mean
  double lineToPhaseRatio = 1.7320508075688772;  // √3 in a star system
  double lineToPhaseTolerance = 0.05;            // relative, around √3
  // Three-wire lost voltage: two lines at half the third, each within this share.
  double halfLineTolerance = 0.12;

  // Currents, against the CT's rated secondary current (5 A, or 1 A for 1 A CTs).
  double ctRatedSecondaryA = 5.0;         // above this on the CT's secondary: 注意
  double loadedSecondaryFraction = 0.01;  // of the rated secondary: an element counts as loaded
  double currentImbalance = 0.20;         // largest deviation from the mean, of the mean

  // Angles. A healthy site has every element at the load's angle φ within this much (plus the
  // angle the register rounding leaves open); a wiring fault moves an element by a multiple of
  // 60° (120° wrong phase, 180° reversed, 60° both).
  double angleToleranceDeg = 25.0;
  // Elements whose load angles lie at most this far apart may be a healthy site whose phases
  // carry loads of different power factor: a fault that fits is then only 注意.
  double healthySpreadDeg = 60.0;
  // Fits that cost at most this much more than the best are listed as alternatives.
  double alternativeCostMargin = 1.0;

  // Powers. Measurement tolerance on top of the registers' rounding.
  double powerTolerance = 0.01;  // of the apparent power compared with
  // S above √(P² + Q²): distortion power. Its share D / S above this is named (harmonics).
  double distortionNoteFraction = 0.35;
  // Zero-sequence: the register may exceed what the phase currents can make (their phasor sum
  // plus their harmonic parts) by this share of the mean phase current. An unbalanced load makes
  // its own zero-sequence current and passes.
  double zeroSequenceMargin = 0.10;
  // Three-wire modes: a zero-sequence current beyond this share of the mean with a current on B
  // means a neutral conductor carries current: the site is four-wire.
  double neutralCurrentFraction = 0.04;

  // Frequency, off the nominal frequency chosen in the tab.
  double frequencyNoteHz = 0.5;   // 注意
  double frequencyFaultHz = 5.0;  // 异常
};

inline constexpr WiringThresholds kWiringThresholds{};

}  // namespace kt::workbench
