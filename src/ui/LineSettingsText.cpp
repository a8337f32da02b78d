// Settings text, information box texts and the poll period of a line.
#include "ui/LineSettingsText.h"

namespace kt::ui {

std::string SettingsText(int32_t baudRate, int32_t parity) {
  const char* suffix = parity == 1 ? "O,8,1" : parity == 2 ? "E,8,1" : "N,8,2";
  return std::to_string(baudRate) + suffix;
}

std::string ParityLine(int32_t parity) {
  switch (parity) {
    case 0:
      return "校验位:无校验";
    case 1:
      return "校验位:奇校验";
    case 2:
      return "校验位:偶校验";
    default:
      return "";
  }
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
  switch (baudRate) {
    case 1200:
      return 2000;
    case 2400:
      return 1500;
    case 4800:
      return 1000;
    default:
      return 500;
  }
}

}  // namespace kt::ui
