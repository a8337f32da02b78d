// The service's events and where each goes.
#include "service/Service.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "service/Discovery.h"
#include "service/StateMessage.h"

namespace kt::service {
namespace {

constexpr uint64_t kBytesPerMiB = uint64_t{1024} * 1024;
constexpr std::string_view kSpoolFile = "/states.spool";

}  // namespace

Service::Service(ServiceConfig config, modbus::Clock& clock, Log log, const std::string& clientId)
    : config_(std::move(config)), clock_(clock), log_(std::move(log)) {
  if (config_.mqtt) {
    std::error_code error;
    std::filesystem::create_directories(config_.spoolFolder, error);
    if (error) {
      log_(LogLevel::Error, "无法创建暂存文件夹 " + config_.spoolFolder + "：" + error.message());
    }
    spool_ = std::make_unique<Spool>(config_.spoolFolder + std::string(kSpoolFile),
                                     config_.spoolMiB * kBytesPerMiB);
    if (const size_t left = spool_->Load(); left > 0) {
      log_(LogLevel::Info,
           "暂存文件中有上次未发送的 " + std::to_string(left) + " 条状态，将按顺序补发");
    }
    publisher_ = std::make_unique<Publisher>(*config_.mqtt, clientId, *spool_, clock_, log_);
  }
  for (const LineConfig& line : config_.lines) {
    if (config_.csv) {
      csv_.push_back(
          std::make_unique<DailyCsv>(config_.csv->folder, line.name, config_.csv->keepDays, log_));
    }
    if (!publisher_) continue;
    for (const MeterEntry& meter : line.meters) {
      if (config_.mqtt->homeAssistant) {
        for (DiscoveryMessage& m : DiscoveryMessages(*config_.mqtt, line.name, meter)) {
          publisher_->Retained(m.topic, std::move(m.payload));
        }
      }
    }
  }
}

Service::~Service() = default;

void Service::Withdraw(const ServiceConfig& previous) {
  if (!publisher_ || !previous.mqtt) return;
  const auto kept = [&](const std::string& line, uint8_t address) {
    return std::any_of(config_.lines.begin(), config_.lines.end(), [&](const LineConfig& l) {
      return l.name == line &&
             std::any_of(l.meters.begin(), l.meters.end(),
                         [&](const MeterEntry& m) { return m.address == address; });
    });
  };
  for (const LineConfig& line : previous.lines) {
    for (const MeterEntry& meter : line.meters) {
      if (kept(line.name, meter.address)) continue;
      log_(LogLevel::Info, "仪表 " + line.name + "/" + std::to_string(meter.address) +
                               " 已不在配置中：撤下它的保留消息");
      if (previous.mqtt->homeAssistant) {
        for (DiscoveryMessage& m : DiscoveryMessages(*previous.mqtt, line.name, meter)) {
          publisher_->Remove(std::move(m.topic));
        }
      }
      publisher_->Remove(AvailabilityTopic(previous.mqtt->prefix, line.name, meter.address));
    }
  }
}

uint32_t Service::Run() {
  uint32_t wait = source_ ? source_->Run() : 1000;
  if (publisher_) wait = std::min(wait, publisher_->Run());
  return wait;
}

void Service::Stop(uint32_t graceMs) {
  if (!publisher_) return;
  // Meters are not known to be offline: the service's own availability says it for all.
  publisher_->Stop(graceMs);
  const std::string count = std::to_string(spool_->Count());
  if (spool_->Empty()) {
    log_(LogLevel::Info, "已停止，没有待发送的状态");
  } else if (!spool_->Failure().empty()) {
    log_(LogLevel::Error, "已停止，" + count + " 条状态未能写入暂存文件，已丢失");
  } else {
    log_(LogLevel::Info, "已停止，" + count + " 条状态留在暂存文件中，下次启动时补发");
  }
}

void Service::OnBlock(size_t line, const values::MeasuredBlock& block) {
  const std::string& name = config_.lines[line].name;
  if (publisher_) {
    publisher_->State(StateTopic(config_.mqtt->prefix, name, block.slaveAddress),
                      StateJson(block, name, wiring_.For(line, block)));
  }
  if (line < csv_.size()) csv_[line]->Write(block);
}

void Service::OnAvailability(size_t line, uint8_t address, bool online) {
  const std::string& name = config_.lines[line].name;
  log_(online ? LogLevel::Info : LogLevel::Warning,
       "仪表 " + name + "/" + std::to_string(address) + (online ? " 在线" : " 离线（无应答）"));
  if (publisher_) {
    publisher_->Retained(AvailabilityTopic(config_.mqtt->prefix, name, address),
                         std::string(online ? kOnline : kOffline));
  }
}

void Service::OnLineNote(size_t, const std::string& text) {
  log_(LogLevel::Info, text);
}

OnceCollector::OnceCollector(const ServiceConfig& config, std::ostream& out, Log log)
    : config_(config), out_(out), log_(std::move(log)) {
  for (const LineConfig& line : config_.lines) printed_.emplace_back(line.meters.size(), false);
}

void OnceCollector::OnBlock(size_t line, const values::MeasuredBlock& block) {
  const auto& meters = config_.lines[line].meters;
  for (size_t i = 0; i < meters.size(); ++i) {
    if (meters[i].address != block.slaveAddress || printed_[line][i]) continue;
    printed_[line][i] = true;
    out_ << StateJson(block, config_.lines[line].name, WiringVerdictText(block)) << '\n'
         << std::flush;
  }
}

void OnceCollector::OnLineNote(size_t, const std::string& text) {
  log_(LogLevel::Info, text);
}

bool OnceCollector::Done() const {
  return Missing().empty();
}

std::vector<std::string> OnceCollector::Missing() const {
  std::vector<std::string> missing;
  for (size_t l = 0; l < printed_.size(); ++l) {
    for (size_t i = 0; i < printed_[l].size(); ++i) {
      if (!printed_[l][i]) {
        missing.push_back(config_.lines[l].name + "/" +
                          std::to_string(config_.lines[l].meters[i].address));
      }
    }
  }
  return missing;
}

}  // namespace kt::service
