// Control identifiers of the communication settings dialog.
#pragma once

#include <array>

namespace kt::ui::comm_set_ids {

inline constexpr int kTemplateId = 130;

inline constexpr int kPortEdit = 1000;
// The read-only list of the machine's serial ports under the heading "可用串口".
inline constexpr int kPortList = 1017;
// "自动查找…": opens the dialog that looks for meters on every port and setting.
inline constexpr int kFindMeterButton = 1018;

// Baud rate radios, slowest first; consecutive identifiers.
inline constexpr int kBaud1200Radio = 1009;
inline constexpr int kBaud2400Radio = 1010;
inline constexpr int kBaud4800Radio = 1011;
inline constexpr int kBaud9600Radio = 1012;
inline constexpr int kBaud19200Radio = 1013;
inline constexpr int kFirstBaudRadio = kBaud1200Radio;
inline constexpr int kLastBaudRadio = kBaud19200Radio;
// The radio of each row of the baud rate table, by the same index.
inline constexpr std::array<int, 5> kBaudRadios = {kBaud1200Radio, kBaud2400Radio, kBaud4800Radio,
                                                   kBaud9600Radio, kBaud19200Radio};

// Parity radios in parity order (none, odd, even); consecutive identifiers.
inline constexpr int kNoParityRadio = 1014;
inline constexpr int kOddParityRadio = 1015;
inline constexpr int kEvenParityRadio = 1016;
inline constexpr int kFirstParityRadio = kNoParityRadio;
inline constexpr int kLastParityRadio = kEvenParityRadio;
// The radio of each row of the parity table, by the same index.
inline constexpr std::array<int, 3> kParityRadios = {kNoParityRadio, kOddParityRadio,
                                                     kEvenParityRadio};

}  // namespace kt::ui::comm_set_ids
