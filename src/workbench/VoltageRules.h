// The wiring check's voltage rules and what the current rules need to know of the voltages.
// Voltages are judged first: the currents are judged against them as they must have been wired.
#pragma once

#include <array>

#include "workbench/WiringRules.h"

namespace kt::workbench {

// Phases whose voltage is missing: under half the others (four-wire); in three-wire modes the
// input midway between the other two, or settled on B's (its line to B near 0 V).
std::array<bool, 3> LostPhases(const CheckContext& c);

// Four-wire: the phase whose voltage arrives reversed (the two line voltages beside it read one
// phase voltage, the third √3), or -1.
int ReversedPhaseVoltage(const CheckContext& c, const std::array<bool, 3>& lost);
// Four-wire: a line voltage off √3 times its phases.
bool LineVoltagesWrong(const CheckContext& c, const std::array<bool, 3>& lost);
// Three-wire: U_CA √3 times U_AB and U_BC, one of the two PTs reversed.
bool ThreeWirePtReversed(const CheckContext& c);

// The rules.
void LostVoltage(CheckContext& c, const char* name);
void VoltageImbalance(CheckContext& c, const char* name);
void LineToPhase(CheckContext& c, const char* name);
void PtPolarity(CheckContext& c, const char* name);

}  // namespace kt::workbench
