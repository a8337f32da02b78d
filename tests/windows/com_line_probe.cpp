// The Windows serial line for real: opens a COM port, polls the measurement block once at each
// line setting and reports what came back. scripts/check-windows.sh runs it under wine against
// the simulated meter on a pseudo-terminal mapped as the COM port.
//   com_line_probe <port number> <settings text>...   exit 0 when every poll got a valid reply
//   com_line_probe --until-lost <port number> <settings text>
//     polls until the line is lost (the meter's terminal gone): exit 0 when that is reported as
//     a lost device and the port has closed itself
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "modbus/MeterRegisters.h"
#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"

namespace {

using namespace kt;

constexpr uint8_t kAddress = 1;
constexpr auto kReplyWait = std::chrono::milliseconds(1500);
constexpr auto kPollStep = std::chrono::milliseconds(10);
constexpr auto kPollPause = std::chrono::milliseconds(200);
constexpr int kMostPollsUntilLost = 300;

// One poll of the measurement block: true when a valid reply came within kReplyWait.
bool PollOnce(serial::SerialLine& line, const std::string& settings) {
  line.SetInBufferCount(0);
  modbus::RequestBuffer request{};
  const auto block = modbus::meter_registers::kMeasurementRead;
  const int16_t length = modbus::BuildReadRequest(request, kAddress, block.start, block.count);
  line.SetOutput(std::vector<uint8_t>(request.begin(), request.begin() + length));
  const int expected = modbus::ReadReplyLength(block.count);
  std::vector<uint8_t> reply;
  const auto deadline = std::chrono::steady_clock::now() + kReplyWait;
  while (static_cast<int>(reply.size()) < expected && std::chrono::steady_clock::now() < deadline) {
    const std::vector<uint8_t> more = line.GetInput();
    reply.insert(reply.end(), more.begin(), more.end());
    if (more.empty()) std::this_thread::sleep_for(kPollStep);
  }
  const modbus::ReplyVerdict verdict =
      modbus::CheckReply(reply, kAddress, modbus::kReadHoldingRegisters, expected);
  std::printf("%s: %zu bytes, %s\n", settings.c_str(), reply.size(),
              modbus::DescribeReply(verdict).c_str());
  return verdict.outcome == modbus::ReplyOutcome::Valid;
}

// Polls until the line fails; true when it failed as a lost device and closed itself.
int PollUntilLost(int16_t port, const std::string& settings) {
  serial::SerialLine line;
  try {
    line.SetCommPort(port);
    line.SetSettings(settings);
    line.SetPortOpen(true);
    for (int i = 0; i < kMostPollsUntilLost; ++i) {
      PollOnce(line, settings);
      std::fflush(stdout);
      std::this_thread::sleep_for(kPollPause);
    }
  } catch (const serial::SerialError& e) {
    std::printf("%s\n", serial::SerialErrorText(e).c_str());
    return e.kind() == serial::SerialErrorKind::Disconnected && !line.GetPortOpen() ? 0 : 1;
  }
  std::printf("the line was never lost\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--until-lost") {
    return PollUntilLost(static_cast<int16_t>(std::atoi(argv[2])), argv[3]);
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: com_line_probe <port number> <settings text>...\n");
    return 2;
  }
  serial::SerialLine line;
  bool all = true;
  try {
    line.SetCommPort(static_cast<int16_t>(std::atoi(argv[1])));
    line.SetSettings(argv[2]);
    line.SetPortOpen(true);
    std::printf("opened %s\n", line.DeviceName().c_str());
    for (int i = 2; i < argc; ++i) {
      if (i > 2) line.SetSettings(argv[i]);  // applied again on the open port, even unchanged
      all = PollOnce(line, argv[i]) && all;
    }
  } catch (const serial::SerialError& e) {
    std::printf("%s\n", serial::SerialErrorText(e).c_str());
    return 1;
  }
  return all ? 0 : 1;
}
