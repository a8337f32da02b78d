// Running the finder before the first poll.
#include "service/FindMeters.h"

#include <map>

#include "finder/MeterFinder.h"
#include "serial/LineSettingsTable.h"
#include "serial/TcpAddress.h"
#include "service/OpenableLine.h"

namespace kt::service {
namespace {

// The finder's tick, as the command line's --find runs it.
constexpr uint32_t kTickMs = 10;
// How often the log says how far the sweep is.
constexpr uint32_t kProgressEveryMs = 15000;

// The finder numbers parities as the meter does (LineSettingsTable.h).
int32_t ParityCode(serial::Parity parity) {
  for (const serial::ParityRow& row : serial::kParityRows) {
    if (row.parity == parity) return row.meterCode;
  }
  return 0;
}

serial::Parity ParityOf(int32_t code) {
  for (const serial::ParityRow& row : serial::kParityRows) {
    if (row.meterCode == code) return row.parity;
  }
  return serial::Parity::None;
}

}  // namespace

bool FindMeters(ServiceConfig& config, modbus::Clock& clock, const Log& log,
                const std::function<bool()>& stopAsked) {
  std::vector<finder::CandidateLine> candidates;
  std::map<int32_t, size_t> lineOf;  // candidate number -> line
  for (size_t i = 0; i < config.lines.size(); ++i) {
    const LineConfig& line = config.lines[i];
    if (!line.find) continue;
    const auto number = static_cast<int32_t>(candidates.size() + 1);
    candidates.push_back({number, line.port, !serial::IsTcpAddress(line.port)});
    lineOf[number] = i;
  }
  if (candidates.empty()) return true;
  log(LogLevel::Info, "正在查找仪表……");
  const finder::LineOpener opener = [&](const finder::CandidateLine& c) {
    std::unique_ptr<serial::SerialControl> line =
        OpenableLine(config.lines[lineOf.at(c.portNumber)]);
    return line;
  };
  const LineConfig& first = config.lines[lineOf.begin()->second];
  finder::MeterFinder meterFinder(candidates, opener, clock,
                                  {{first.baud, ParityCode(first.parity)}, false});
  uint32_t lastProgress = clock.GetTickCount();
  while (!meterFinder.Finished()) {
    if (stopAsked()) {
      meterFinder.Cancel();
      return false;
    }
    meterFinder.Tick();
    clock.Sleep(kTickMs);
    if (clock.GetTickCount() - lastProgress >= kProgressEveryMs) {
      lastProgress = clock.GetTickCount();
      const finder::FinderProgress p = meterFinder.Progress();
      const uint64_t percent = p.probesTotal == 0 ? 0 : p.probesDone * 100 / p.probesTotal;
      log(LogLevel::Info, "查找仪表：已完成 " + std::to_string(percent) + "%，约剩 " +
                              std::to_string(p.remainingMs / 1000) + " 秒");
    }
  }
  for (const finder::LineFailure& f : meterFinder.Failures()) {
    log(LogLevel::Error, "查找仪表：线路 " + config.lines[lineOf.at(f.line.portNumber)].name +
                             " 无法使用：" + f.reason);
  }
  for (const finder::FoundMeter& found : meterFinder.Found()) {
    LineConfig& line = config.lines[lineOf.at(found.line.portNumber)];
    if (found.setting && !line.settingsGiven) {
      line.baud = found.setting->baudRate;
      line.parity = ParityOf(found.setting->parity);
      line.settingsGiven = true;
    }
    const bool atLineSettings =
        !found.setting ||
        (found.setting->baudRate == line.baud && found.setting->parity == ParityCode(line.parity));
    const std::string where = line.name + "/" + std::to_string(found.address);
    bool listed = false;
    for (const MeterEntry& m : line.meters) listed = listed || m.address == found.address;
    if (!atLineSettings) {
      log(LogLevel::Warning, "找到仪表 " + where + "，但它的通讯设置与线路不同，不轮询");
    } else if (!listed) {
      line.meters.push_back({static_cast<uint8_t>(found.address), {}});
      log(LogLevel::Info, "找到仪表 " + where);
    }
  }
  for (const LineConfig& line : config.lines) {
    if (line.find && line.meters.empty()) {
      log(LogLevel::Warning, "线路 " + line.name + " 上没有找到仪表");
    }
  }
  return true;
}

}  // namespace kt::service
