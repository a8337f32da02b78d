// Reading the meters of one line for `kt7340 --report`.
#include "app/ReportCommand.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "modbus/BlockingExchange.h"
#include "modbus/ConfigurationBlock.h"
#include "modbus/FrameFields.h"
#include "modbus/MeterRegisters.h"
#include "modbus/QuietLine.h"
#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"
#include "report/ReportDocument.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "ui/CMonitorDlg.h"
#include "ui/FinderText.h"
#include "ui/LineSettingsText.h"
#include "ui/LinkStatus.h"
#include "values/MeasuredBlockFromPayload.h"
#include "values/MeasurementBlock.h"

namespace kt::app {
namespace {

namespace regs = modbus::meter_registers;
using Clock = std::chrono::system_clock;

constexpr int32_t kHighestPort = 32767;
// The reply to the accuracy class read carries the class in its first data byte's low half.
constexpr int kAccuracyByteOffset = 4;

std::optional<int32_t> Number(const std::string& text, int32_t low, int32_t high) {
  int32_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < low || n > high) return {};
  return n;
}

std::string ParseAddresses(const std::string& text, std::vector<uint8_t>& addresses) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string one = text.substr(start, comma - start);
    const auto n = Number(one, modbus::kFirstSlaveAddress, modbus::kLastSlaveAddress);
    if (!n) return "kt7340: bad slave address \"" + one + "\" (1..247)";
    if (std::find(addresses.begin(), addresses.end(), *n) != addresses.end()) {
      return "kt7340: slave address " + one + " given twice";
    }
    addresses.push_back(static_cast<uint8_t>(*n));
    start = comma + 1;
  }
  return "";
}

// One meter's exchanges and what the link saw of them.
class MeterReader {
 public:
  MeterReader(serial::SerialControl& port, modbus::Clock& clock, int32_t baudRate)
      : port_(port), clock_(clock), baudRate_(baudRate) {
    link_.SetActive(true);
    link_.PortOpened("");
  }

  // The reply's position in Received(), or -1 with why not in `reason`.
  int16_t Read(uint8_t address, modbus::RegisterBlock registers) {
    const int16_t n = modbus::BuildReadRequest(request_, address, registers.start, registers.count);
    const int16_t length = modbus::ReadReplyLength(registers.count);
    const modbus::ExchangeLine line{
        port_,
        clock_,
        [this](std::span<const uint8_t> frame) {
          port_.SetOutput(std::vector<uint8_t>(frame.begin(), frame.end()));
        },
        {}};
    const modbus::ExchangeParams params{
        n, modbus::kReadHoldingRegisters, length,
        modbus::ReplyDueMs(baudRate_, n, length) + kReportAnswerExtraMs,
        modbus::DiscardInput::AfterSending};
    link_.RequestSent();
    const modbus::ExchangeResult result =
        modbus::BlockingExchange(line, request_, receive_, address, params);
    received_ = result.received;
    const modbus::ReplyVerdict verdict =
        modbus::CheckReply(Received(), address, modbus::kReadHoldingRegisters, length);
    link_.ReplyJudged(verdict);
    reason = modbus::DescribeReply(verdict);
    return result.position;
  }

  std::span<const uint8_t> Received() const {
    return std::span(receive_).first(static_cast<size_t>(std::max<int16_t>(received_, 0)));
  }
  std::string Counters() const { return link_.CounterText(); }
  std::string reason;

 private:
  serial::SerialControl& port_;
  modbus::Clock& clock_;
  int32_t baudRate_;
  modbus::RequestBuffer request_{};
  modbus::ReceiveBuffer receive_{};
  int16_t received_ = 0;
  ui::LinkStatus link_;
};

struct ReadMeter {
  report::ReportMeter meter;
  std::unique_ptr<workbench::TrendStore> trend;
};

// The meter at `address`, or the reason it could not be read.
std::string ReadOne(const ReportRequest& request, uint8_t address, serial::SerialControl& port,
                    modbus::Clock& clock, const std::function<Clock::time_point()>& now,
                    ReadMeter& read) {
  MeterReader reader(port, clock, request.baudRate);
  const std::string who = "地址 " + std::to_string(address) + " 的仪表";
  const int16_t config = reader.Read(address, regs::kConfigurationRead);
  if (config < 0) return who + "没有应答配置读取（" + reader.reason + "）";
  const modbus::MeterConfiguration c =
      modbus::DecodeConfiguration(reader.Received()
                                      .subspan(static_cast<size_t>(config) + 3)
                                      .first<modbus::kConfigurationDataBytes>());
  const values::ScaleFactors scale{c.ptRatio, c.ctRatio, c.powerMultiplierFlag ? 4 : 1,
                                   static_cast<int32_t>(c.energyExponent < ui::kPowerOfTen.size()
                                                            ? ui::kPowerOfTen[c.energyExponent]
                                                            : 1)};

  report::MeterSettings& settings = read.meter.settings;
  settings = {request.port, request.baudRate, request.parity, false, 0, request.ctSecondaryA};
  const int16_t accuracy = reader.Read(address, regs::kAccuracyClassRead);
  if (accuracy >= 0) {
    settings.accuracyKnown = true;
    settings.accuracyClass = reader.Received()[static_cast<size_t>(accuracy) + kAccuracyByteOffset];
  }

  read.trend = std::make_unique<workbench::TrendStore>(kReportBlocks);
  bool decoded = false;
  for (int i = 0; i < kReportBlocks; ++i) {
    if (i > 0) clock.Sleep(kReportBlockIntervalMs);
    const int16_t at = reader.Read(address, regs::kMeasurementRead);
    if (at < 0) continue;
    const auto bytes = reader.Received();
    values::MeasuredBlock block =
        values::ToMeasuredBlock(bytes.data() + at + 3, scale, c.wiringMode, address, now());
    // The status pair follows the reply directly and ends the read.
    const size_t statusAt = static_cast<size_t>(at) + values::kBlockReplyLength;
    if (statusAt + 2 == bytes.size())
      block.status = values::StatusPair{bytes[statusAt], bytes[statusAt + 1]};
    block.pollPeriodMs = kReportBlockIntervalMs;
    read.trend->Append(block);
    read.meter.block = block;
    decoded = true;
  }
  if (!decoded) return who + "没有应答测量数据读取（" + reader.reason + "）";
  read.meter.trend = read.trend.get();
  read.meter.linkCounters = reader.Counters();
  return "";
}

// The default name, or with "-2", "-3", ... before ".html" while a file has the name.
std::string FreeDefaultName(const report::ReportTitle& title) {
  std::string name = report::DefaultReportFileName(title);
  const auto exists = [](const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::path(std::u8string(path.begin(), path.end())),
                                   ignored);
  };
  if (!exists(name)) return name;
  const std::string stem = name.substr(0, name.size() - std::string_view(".html").size());
  for (int n = 2;; ++n) {
    std::string next = stem + "-" + std::to_string(n) + ".html";
    if (!exists(next)) return next;
  }
}

}  // namespace

std::string ParseReportOptions(const std::vector<std::string>& args, ReportRequest& request) {
  std::set<std::string> seen;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (!seen.insert(option).second) return "kt7340: " + option + " given twice";
    if (i + 1 >= args.size()) return "kt7340: " + option + " needs a value";
    const std::string& value = args[++i];
    if (option == "--port") {
      const auto n = Number(value, 1, kHighestPort);
      if (!n) return "kt7340: bad port number \"" + value + "\" (1..32767)";
      request.port = *n;
    } else if (option == "--address") {
      if (std::string why = ParseAddresses(value, request.addresses); !why.empty()) return why;
    } else if (option == "--out") {
      request.out = value;
    } else if (option == "--site") {
      request.site = value;
    } else if (option == "--panel") {
      request.panel = value;
    } else if (option == "--engineer") {
      request.engineer = value;
    } else if (option == "--baud") {
      const auto n = Number(value, 1, 1'000'000);
      if (!n || serial::FindBaudRow(*n) == nullptr) {
        return "kt7340: bad baud rate \"" + value + "\" (1200, 2400, 4800, 9600, 19200)";
      }
      request.baudRate = *n;
    } else if (option == "--parity") {
      const auto row = std::find_if(
          serial::kParityRows.begin(), serial::kParityRows.end(),
          [&](const serial::ParityRow& r) { return value == r.settingsSuffix.substr(0, 1); });
      if (row == serial::kParityRows.end()) return "kt7340: bad parity \"" + value + "\" (N, O, E)";
      request.parity = row->meterCode;
    } else if (option == "--ct-secondary") {
      if (value != "5" && value != "1") return "kt7340: bad CT secondary \"" + value + "\" (5, 1)";
      request.ctSecondaryA = value == "5" ? 5.0 : 1.0;
    } else {
      return "kt7340: --report does not take \"" + option + "\"";
    }
  }
  if (request.port == 0) return "kt7340: --report needs --port N";
  if (request.addresses.empty()) return "kt7340: --report needs --address A[,A...]";
  return "";
}

int RunReport(const ReportRequest& request, serial::SerialControl& port, modbus::Clock& clock,
              const std::function<Clock::time_point()>& now, std::string& out, std::string& err) {
  try {
    port.SetCommPort(static_cast<int16_t>(request.port));
    port.SetSettings(ui::SettingsText(request.baudRate, request.parity));
    port.SetPortOpen(true);
  } catch (const serial::SerialError& e) {
    err += ui::PortText(request.port) + "：" + serial::SerialErrorText(e) + "\n";
    return 1;
  }
  std::vector<ReadMeter> meters(request.addresses.size());
  for (size_t i = 0; i < meters.size(); ++i) {
    std::string why;
    try {
      why = ReadOne(request, request.addresses[i], port, clock, now, meters[i]);
    } catch (const serial::SerialError& e) {  // the device went away meanwhile
      why = ui::PortText(request.port) + "：" + serial::SerialErrorText(e);
    }
    if (!why.empty()) {
      port.SetPortOpen(false);
      err += why + "，未生成报告\n";
      return 1;
    }
  }
  port.SetPortOpen(false);

  report::Report report;
  report.title = {request.site, request.panel, request.engineer, now()};
  for (const ReadMeter& m : meters) report.meters.push_back(m.meter);
  const std::string path = request.out.empty() ? FreeDefaultName(report.title) : request.out;
  if (std::string why = report::WriteReportFile(path, report::ReportHtml(report)); !why.empty()) {
    err += why + "\n";
    return 1;
  }
  out += path + "\n";
  return 0;
}

}  // namespace kt::app
