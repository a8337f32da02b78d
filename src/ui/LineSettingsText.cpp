// Settings text, information box texts and the poll period of a line.
#include "ui/LineSettingsText.h"
#include "serial/LineSettingsTable.h"

namespace kt::ui {

std::string SettingsText(int32_t baudRate, int32_t parity) {
  // An unknown parity number is sent as no parity, the meter's default.
  const serial::ParityRow* row = serial::FindParityRow(parity);
  if (row == nullptr) row = &serial::kParityRows[0];
  return std::to_string(baudRate) + std::string(row->settingsSuffix);
}

std::string ParityLine(int32_t parity) {
  const serial::ParityRow* row = serial::FindParityRow(parity);
  return row == nullptr ? "" : std::string(row->informationLine);
}

std::string InformationBoxText(int32_t portNumber, int32_t baudRate, int32_t parity) {
  return "串行口: " + std::to_string(portNumber) + " \r\n\r\n波特率: " + std::to_string(baudRate) +
         " \r\n\r\n" + ParityLine(parity);
}

std::string ProbeInformationBoxText(int32_t portNumber, int32_t baudRate, int32_t parity) {
  return "串口:" + std::to_string(portNumber) + "\r\n\r\n波特率:" + std::to_string(baudRate) +
         "\r\n\r\n" + ParityLine(parity);
}

uint32_t PollPeriodMsFor(int32_t baudRate) {
  // Any other rate polls as fast as the fastest line.
  const serial::BaudRow* row = serial::FindBaudRow(baudRate);
  return row != nullptr ? row->pollPeriodMs : serial::kBaudRows.back().pollPeriodMs;
}

}  // namespace kt::ui
