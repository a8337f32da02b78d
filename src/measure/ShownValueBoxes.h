// The box each decoded value is shown in, in the order DecodeBlock gives the values.
#pragma once

#include <array>

#include "ui/MainDialogIds.h"
#include "values/MeasurementBlock.h"

namespace kt::measure {

inline constexpr std::array<int, values::kShownValueCount> kShownValueBoxes = {
    ui::main_ids::kPhaseVoltageABox,
    ui::main_ids::kLineVoltageCABox,
    ui::main_ids::kCurrentABox,
    ui::main_ids::kActivePowerABox,
    ui::main_ids::kPowerFactorABox,
    ui::main_ids::kReactivePowerABox,
    ui::main_ids::kApparentPowerABox,
    ui::main_ids::kPhaseVoltageBBox,
    ui::main_ids::kLineVoltageABBox,
    ui::main_ids::kCurrentBBox,
    ui::main_ids::kActivePowerBBox,
    ui::main_ids::kPowerFactorBBox,
    ui::main_ids::kReactivePowerBBox,
    ui::main_ids::kApparentPowerBBox,
    ui::main_ids::kPhaseVoltageCBox,
    ui::main_ids::kLineVoltageBCBox,
    ui::main_ids::kCurrentCBox,
    ui::main_ids::kActivePowerCBox,
    ui::main_ids::kPowerFactorCBox,
    ui::main_ids::kReactivePowerCBox,
    ui::main_ids::kApparentPowerCBox,
    ui::main_ids::kZeroSequenceCurrentBox,
    ui::main_ids::kPhaseVoltageTotalBox,
    ui::main_ids::kCurrentTotalBox,
    ui::main_ids::kFrequencyBox,
    ui::main_ids::kActivePowerTotalBox,
    ui::main_ids::kPowerFactorTotalBox,
    ui::main_ids::kReactivePowerTotalBox,
    ui::main_ids::kApparentPowerTotalBox,
    ui::main_ids::kForwardActiveEnergyBox,
    ui::main_ids::kReverseActiveEnergyBox,
    ui::main_ids::kForwardReactiveEnergyBox,
    ui::main_ids::kReverseReactiveEnergyBox,
    ui::main_ids::kLineVoltageMeanBox,
};

}  // namespace kt::measure
