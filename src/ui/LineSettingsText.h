// The texts that describe the PC's line settings: the serial settings text and the information box.
#pragma once

#include <cstdint>
#include <string>

namespace kt::ui {

// "9600N,8,2", "4800O,8,1", "19200E,8,1": the baud rate followed directly by the parity suffix.
std::string SettingsText(int32_t baudRate, int32_t parity);

// "校验位:无校验" / "校验位:奇校验" / "校验位:偶校验" for parity 0 / 1 / 2 (empty otherwise).
std::string ParityLine(int32_t parity);

// The information box as start-up and the communication settings write it:
// "串行口: 1 \r\n\r\n波特率: 9600 \r\n\r\n校验位:无校验".
std::string InformationBoxText(int32_t portNumber, int32_t baudRate, int32_t parity);

// The information box as the address search writes it after a hit (no blanks after the colons):
// "串口:1\r\n\r\n波特率:9600\r\n\r\n校验位:无校验".
std::string ProbeInformationBoxText(int32_t portNumber, int32_t baudRate, int32_t parity);

// The poll period of a baud rate from the line settings table; the fastest period for any other.
uint32_t PollPeriodMsFor(int32_t baudRate);

}  // namespace kt::ui
