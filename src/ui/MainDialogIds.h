// Control identifiers of the main dialog, shared by its template and its handlers.
#pragma once

#include <array>

namespace kt::ui::main_ids {

inline constexpr int kTemplateId = 102;

// Entry, information and serial line.
inline constexpr int kSlaveAddressEdit = 1061;
inline constexpr int kInformationBox = 1057;
inline constexpr int kSerialControl = 1008;
inline constexpr int kSendEcho = 1021;
inline constexpr int kReceiveEcho = 1022;

// Buttons.
inline constexpr int kCommSettingsButton = 1004;
inline constexpr int kMeterSettingsButton = 1006;
inline constexpr int kChangeSlaveAddressButton = 1007;
inline constexpr int kAccuracyClassButton = 1009;
inline constexpr int kPollAddressButton = 1062;
inline constexpr int kRunButton = 1063;
inline constexpr int kRefreshUrgButton = 1091;
// Opens the diagnostics and recording window (a front end may wire it; else it does nothing).
inline constexpr int kWorkbenchButton = 1110;
// Commands without a button in the dialog.
inline constexpr int kSetParametersCommand = 1070;
inline constexpr int kReadParametersCommand = 1071;

// The four parameter value boxes the dialog does not have; texts sent there go nowhere.
inline constexpr int kPhaseVoltageParameterBox = 1066;
inline constexpr int kLineVoltageParameterBox = 1067;
inline constexpr int kCurrentParameterBox = 1068;
inline constexpr int kZeroSequenceParameterBox = 1069;

// The data grid, row by row: total (combined) column, then A / CA, B / AB, C / BC.
inline constexpr int kPhaseVoltageTotalBox = 1000;
inline constexpr int kPhaseVoltageABox = 1001;
inline constexpr int kPhaseVoltageBBox = 1002;
inline constexpr int kPhaseVoltageCBox = 1003;
inline constexpr int kLineVoltageMeanBox = 1025;
inline constexpr int kLineVoltageCABox = 1026;
inline constexpr int kLineVoltageABBox = 1027;
inline constexpr int kLineVoltageBCBox = 1028;
inline constexpr int kCurrentTotalBox = 1029;
inline constexpr int kCurrentABox = 1030;
inline constexpr int kCurrentBBox = 1031;
inline constexpr int kCurrentCBox = 1032;
inline constexpr int kActivePowerTotalBox = 1033;
inline constexpr int kActivePowerABox = 1034;
inline constexpr int kActivePowerBBox = 1035;
inline constexpr int kActivePowerCBox = 1036;
inline constexpr int kReactivePowerTotalBox = 1037;
inline constexpr int kReactivePowerABox = 1038;
inline constexpr int kReactivePowerBBox = 1039;
inline constexpr int kReactivePowerCBox = 1040;
inline constexpr int kApparentPowerTotalBox = 1041;
inline constexpr int kApparentPowerABox = 1042;
inline constexpr int kApparentPowerBBox = 1043;
inline constexpr int kApparentPowerCBox = 1044;
inline constexpr int kPowerFactorTotalBox = 1045;
inline constexpr int kPowerFactorABox = 1046;
inline constexpr int kPowerFactorBBox = 1047;
inline constexpr int kPowerFactorCBox = 1048;
inline constexpr int kFrequencyBox = 1049;
inline constexpr int kZeroSequenceCurrentBox = 1050;
// The energy row.
inline constexpr int kForwardActiveEnergyBox = 1053;
inline constexpr int kReverseActiveEnergyBox = 1054;
inline constexpr int kForwardReactiveEnergyBox = 1055;
inline constexpr int kReverseReactiveEnergyBox = 1056;

// Every measurement box: the data grid and the energy row.
inline constexpr std::array<int, 34> kMeasurementBoxes = {
    kPhaseVoltageTotalBox,
    kPhaseVoltageABox,
    kPhaseVoltageBBox,
    kPhaseVoltageCBox,
    kLineVoltageMeanBox,
    kLineVoltageCABox,
    kLineVoltageABBox,
    kLineVoltageBCBox,
    kCurrentTotalBox,
    kCurrentABox,
    kCurrentBBox,
    kCurrentCBox,
    kActivePowerTotalBox,
    kActivePowerABox,
    kActivePowerBBox,
    kActivePowerCBox,
    kReactivePowerTotalBox,
    kReactivePowerABox,
    kReactivePowerBBox,
    kReactivePowerCBox,
    kApparentPowerTotalBox,
    kApparentPowerABox,
    kApparentPowerBBox,
    kApparentPowerCBox,
    kPowerFactorTotalBox,
    kPowerFactorABox,
    kPowerFactorBBox,
    kPowerFactorCBox,
    kFrequencyBox,
    kZeroSequenceCurrentBox,
    kForwardActiveEnergyBox,
    kReverseActiveEnergyBox,
    kForwardReactiveEnergyBox,
    kReverseReactiveEnergyBox,
};

// The limit status boxes: voltage items 1 to 4, current items 1 to 4.
inline constexpr int kVoltageStatus1Box = 1064;
inline constexpr int kVoltageStatus2Box = 1065;
inline constexpr int kVoltageStatus3Box = 1072;
inline constexpr int kVoltageStatus4Box = 1073;
inline constexpr int kCurrentStatus1Box = 1074;
inline constexpr int kCurrentStatus2Box = 1075;
inline constexpr int kCurrentStatus3Box = 1076;
inline constexpr int kCurrentStatus4Box = 1077;

// The link status boxes.
inline constexpr int kLinkStateBox = 1100;
inline constexpr int kLinkDeviceBox = 1101;
inline constexpr int kLinkCounterBox = 1102;
inline constexpr int kLinkLastDataBox = 1103;
// Under the workbench button: "记录中", "记录已停止" or nothing.
inline constexpr int kRecordingNoteBox = 1104;

// Every limit status box, in the order above.
inline constexpr std::array<int, 8> kLimitStatusBoxes = {
    kVoltageStatus1Box, kVoltageStatus2Box, kVoltageStatus3Box, kVoltageStatus4Box,
    kCurrentStatus1Box, kCurrentStatus2Box, kCurrentStatus3Box, kCurrentStatus4Box,
};

}  // namespace kt::ui::main_ids
