// `kt7340 --report`: reads the configuration and a few blocks of each meter on one line and
// writes the commissioning report.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "modbus/Clock.h"
#include "serial/SerialControl.h"

namespace kt::app {

struct ReportRequest {
  int32_t port = 0;                // --port N, required
  std::vector<uint8_t> addresses;  // --address A[,A...], required, 1..247 each, no repeats
  std::string out{};               // --out FILE; empty: the default name, never an old file
  std::string site{};              // --site, --panel, --engineer: the title block
  std::string panel{};
  std::string engineer{};
  int32_t baudRate = 9600;  // --baud, one of the supported rates
  int32_t parity = 0;       // --parity N|O|E
  double ctSecondaryA = 5;  // --ct-secondary 5|1
};

// Blocks read from each meter, this far apart; the trend charts show them.
inline constexpr int kReportBlocks = 4;
inline constexpr uint32_t kReportBlockIntervalMs = 500;
// Meters answer up to 300 ms after a request; ReplyDueMs allows 100 of it.
inline constexpr uint32_t kReportAnswerExtraMs = 200;

// The options after --report; an empty string when they are good, else why not.
std::string ParseReportOptions(const std::vector<std::string>& args, ReportRequest& request);

// Opens `port` at the request's settings, reads each meter in turn (configuration, accuracy
// class, kReportBlocks measurement blocks, one exchange on the wire at a time, waiting on
// `clock`), runs the wiring check and writes the report, its path then on `out`. Returns 0, or
// 1 with the reason in Chinese on `err` when the port cannot be opened, a meter does not answer
// (nothing is written then) or the file cannot be written. `now` stamps the blocks and the report.
int RunReport(const ReportRequest& request, serial::SerialControl& port, modbus::Clock& clock,
              const std::function<std::chrono::system_clock::time_point()>& now, std::string& out,
              std::string& err);

}  // namespace kt::app
