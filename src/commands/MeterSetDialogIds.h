// Control identifiers of the meter settings dialog.
#pragma once

namespace kt::ui::meter_set_ids {

inline constexpr int kTemplateId = 131;

inline constexpr int kPtEdit = 1000;
inline constexpr int kCtEdit = 1001;

// Wiring radios in wiring code order 0..5; consecutive identifiers.
inline constexpr int kThreePhaseFourWireUnbalancedRadio = 1009;
inline constexpr int kSinglePhaseTwoWireRadio = 1010;
inline constexpr int kThreePhaseThreeWireUnbalancedRadio = 1011;
inline constexpr int kThreePhaseThreeWireBalancedRadio = 1012;
inline constexpr int kSinglePhaseThreeWireRadio = 1013;
inline constexpr int kThreePhaseFourWireBalancedRadio = 1014;
inline constexpr int kFirstWiringRadio = kThreePhaseFourWireUnbalancedRadio;
inline constexpr int kLastWiringRadio = kThreePhaseFourWireBalancedRadio;

}  // namespace kt::ui::meter_set_ids
