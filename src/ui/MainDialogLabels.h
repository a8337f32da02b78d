// The main dialog's labels of its values: the grid's column headings and row labels, the
// energies and the limit status items. The template and everything that lays the values out
// as the dialog does (the commissioning report) take them from here.
#pragma once

namespace kt::ui::main_labels {

// Column headings of the data grid: total, A/CA, B/AB, C/BC.
inline constexpr char kTotalColumn[] = "  合相";
inline constexpr char kColumnA[] = "A相/CA线";
inline constexpr char kColumnB[] = "B相/AB线";
inline constexpr char kColumnC[] = "C相/BC线";

// Row labels of the data grid.
inline constexpr char kPhaseVoltage[] = "相 电 压";
inline constexpr char kLineVoltage[] = "线 电 压";
inline constexpr char kCurrent[] = "相 电 流";
inline constexpr char kActivePower[] = "有功功率";
inline constexpr char kReactivePower[] = "无功功率";
inline constexpr char kApparentPower[] = "视在功率";
inline constexpr char kPowerFactor[] = "功率因数";
inline constexpr char kFrequency[] = "频    率";
inline constexpr char kZeroSequenceCurrent[] = "零序电流";

// The energies.
inline constexpr char kForwardActiveEnergy[] = "正向有功电能";
inline constexpr char kReverseActiveEnergy[] = "负向有功电能";
inline constexpr char kForwardReactiveEnergy[] = "正向无功电能";
inline constexpr char kReverseReactiveEnergy[] = "负向无功电能";

// The limit status items, in the order of the status items.
inline constexpr const char* kStatusItems[] = {"电压1", "电压2", "电压3", "电压4",
                                               "电流1", "电流2", "电流3", "电流4"};

}  // namespace kt::ui::main_labels
