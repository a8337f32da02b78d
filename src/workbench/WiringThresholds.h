// Every limit the wiring check applies, in one table, so a site engineer can read them together.
#pragma once

namespace kt::workbench {

struct WiringThresholds {
  // Voltages.
  double lostVoltageFraction = 0.50;             // of the mean of the other phases
  double voltageImbalance = 0.06;                // largest deviation from the mean, of the mean
  double lineToPhaseRatio = 1.7320508075688772;  // √3 in a star system
  double lineToPhaseTolerance = 0.05;            // relative, around √3
  // Three-wire lost voltage: two lines at half the third, each within this share; or one line
  // under lostVoltageFraction of the mean of the other two (the input pulled to B).
  double halfLineTolerance = 0.12;

  // Currents, against the CT's rated secondary current chosen in the tab (5 A or 1 A).
  double loadedSecondaryFraction = 0.01;  // of the rated secondary: an element counts as loaded
  double currentImbalance = 0.20;         // largest deviation from the mean, of the mean

  // Angles. Each element may carry its own load: any angle on the side of its direction (import:
  // P > 0, export: P < 0) is a healthy reading, plus this margin, since a load between two phases
  // puts its elements 30° either side of its own angle. Every element of one site runs the same
  // way. A wiring fault moves an element by a multiple of 60° (120° wrong phase, 180° reversed).
  double directionMarginDeg = 15.0;
  // Loads of one site lie at most this far apart (PF 1 beside PF 0.17, lagging 0.6 beside leading
  // 0.6); a reading that needs more is no healthy site.
  double healthySpreadDeg = 100.0;
  // Two inputs said to carry one phase's current must show it alike: angle and magnitude.
  double sameCurrentAngleDeg = 10.0;
  double sameCurrentFraction = 0.10;
  // Readings whose cost is at most this much above the best are listed as alternatives.
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
