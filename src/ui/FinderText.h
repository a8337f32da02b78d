// The finder's results and progress in the user's words, for the dialog "自动查找仪表" and for
// `kt7340 --find` alike.
#pragma once

#include <string>
#include <vector>

#include "finder/FinderTypes.h"

namespace kt::ui {

// "COM3"
std::string PortText(int32_t portNumber);
// "9600bps" and "无校验", as the communication settings dialog labels them.
std::string BaudText(int32_t baudRate);
std::string ParityText(int32_t parity);
// As the meter settings dialog labels the wiring code; "接线方式 7" for a code it has not.
std::string WiringText(uint8_t wiringMode);

// What is being tried: "COM3 9600bps 无校验 地址 17", "COM4 地址 17" on a line without settings.
std::string AttemptText(const finder::Attempt& attempt);

// The cells of a found meter: port, baud rate, parity, slave address, wiring, PT, CT. A line
// without settings shows "服务器设定" for rate and parity; a meter whose configuration did not
// come shows "—" for the last three.
std::vector<std::string> FoundMeterCells(const finder::FoundMeter& meter);

// "COM1：串口 /dev/ttyS0 不存在"
std::string FailureText(const finder::LineFailure& failure);

// "已完成 12%，约剩 3 分 20 秒"
std::string ProgressText(const finder::FinderProgress& progress);
// The share done in percent, 0..100.
int ProgressPercent(const finder::FinderProgress& progress);

// The last line: "找到 3 台仪表" or "未找到仪表".
std::string SummaryText(size_t metersFound);

}  // namespace kt::ui
