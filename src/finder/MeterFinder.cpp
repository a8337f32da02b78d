// The finder's sweep: one request at a time, settled on later ticks.
#include "finder/MeterFinder.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "finder/ProbeTiming.h"
#include "modbus/Buffers.h"
#include "modbus/MeterRegisters.h"
#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"
#include "modbus/SerialInput.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"

namespace kt::finder {
namespace {

using modbus::meter_registers::kAddressProbeRead;
using modbus::meter_registers::kConfigurationRead;

constexpr uint32_t kRequestBytes = 8;
constexpr int kProbeReplyBytes = modbus::ReadReplyLength(kAddressProbeRead.count);
constexpr int kConfigurationReplyBytes = modbus::ReadReplyLength(kConfigurationRead.count);
constexpr size_t kReplyDataStart = 3;  // address, function, byte count

std::string SettingsText(const SweepSetting& s) {
  return std::to_string(s.baudRate) + std::string(serial::FindParityRow(s.parity)->settingsSuffix);
}

}  // namespace

MeterFinder::MeterFinder(std::vector<CandidateLine> lines, LineOpener opener, modbus::Clock& clock,
                         FinderOptions options)
    : lines_(std::move(lines)),
      opener_(std::move(opener)),
      clock_(clock),
      options_(options),
      settings_(SettingsOrder(options.lastUsed)),
      failed_(lines_.size(), false) {
  for (const CandidateLine& line : lines_) {
    const size_t settings = line.sweepSettings ? settings_.size() : 1;
    heard_.emplace_back(settings, uint8_t{0});
    probesTotal_ += settings * static_cast<uint64_t>(kLastAddress - kFirstAddress + 1);
  }
  stages_ = LikelyStages(lines_, settings_.size());
  nextAddress_ = stages_.empty() ? 0 : stages_.front().firstAddress;
  if (stages_.empty()) finished_ = true;
}

MeterFinder::~MeterFinder() {
  Close();
}

uint8_t& MeterFinder::Heard(size_t line, int settingIndex) {
  return heard_[line][static_cast<size_t>(settingIndex < 0 ? 0 : settingIndex)];
}

uint32_t MeterFinder::WaitMs(int settingIndex, RequestKind kind) const {
  const uint32_t reply = kind == RequestKind::Probe ? kProbeReplyBytes : kConfigurationReplyBytes;
  if (settingIndex < 0) return UnknownRateReplyWaitMs(kRequestBytes, reply);
  return ReplyWaitMs(settings_[static_cast<size_t>(settingIndex)].baudRate, kRequestBytes, reply);
}

std::optional<Attempt> MeterFinder::Current() const {
  if (!pending_) return std::nullopt;
  return pending_->attempt;
}

void MeterFinder::Tick() {
  if (finished_) return;
  if (pending_ && !Settle()) return;
  if (!finished_) SendNextProbe();
}

void MeterFinder::Cancel() {
  if (finished_) return;
  cancelled_ = true;
  Finish();
}

void MeterFinder::Close() {
  pending_.reset();
  if (port_) {
    try {
      port_->SetPortOpen(false);
    } catch (const serial::SerialError&) {
      // Closing gives nothing back worth reporting: the line is left either way.
    }
  }
  port_.reset();
  openLine_.reset();
  appliedSetting_ = -2;
}

void MeterFinder::Finish() {
  Close();
  finished_ = true;
}

void MeterFinder::FailLine(size_t line, const std::string& reason) {
  failed_[line] = true;
  failures_.push_back({lines_[line], reason});
  if (openLine_ == line) Close();
  pending_.reset();
}

bool MeterFinder::Settle() {
  Pending& p = *pending_;
  const size_t line = *openLine_;
  try {
    modbus::ReceiveBuffer buffer{};
    const int16_t n = modbus::TakeReceivedBytes(*port_, buffer);
    p.bytes.insert(p.bytes.end(), buffer.begin(), buffer.begin() + n);
  } catch (const serial::SerialError& error) {
    FailLine(line, serial::SerialErrorText(error));
    return true;
  }
  const auto address = static_cast<uint8_t>(p.attempt.address);
  const int length = p.kind == RequestKind::Probe ? kProbeReplyBytes : kConfigurationReplyBytes;
  const modbus::ReplyVerdict verdict =
      modbus::CheckReply(p.bytes, address, modbus::kReadHoldingRegisters, length);
  const bool answered = verdict.outcome == modbus::ReplyOutcome::Valid;
  if (!answered && static_cast<uint32_t>(clock_.GetTickCount() - p.sentAtTick) < p.waitMs) {
    return false;
  }
  if (!p.bytes.empty()) Heard(line, p.settingIndex) = 1;

  if (p.kind == RequestKind::Probe) {
    if (!answered) {
      pending_.reset();
      return true;
    }
    const SweepStage stage{line, p.settingIndex, p.attempt.address, p.attempt.address};
    Send(RequestKind::Configuration, stage, p.attempt.address);
    return false;
  }

  FoundMeter meter{p.attempt.line, p.attempt.setting, p.attempt.address, std::nullopt};
  if (answered) {
    const auto data = std::span<const uint8_t>(p.bytes)
                          .subspan(static_cast<size_t>(verdict.position) + kReplyDataStart)
                          .first<modbus::kConfigurationDataBytes>();
    meter.configuration = modbus::DecodeConfiguration(data);
  }
  found_.push_back(meter);
  pending_.reset();
  if (options_.stopAfterFirst) Finish();
  return true;
}

const SweepStage* MeterFinder::NextStage() {
  for (;;) {
    while (stage_ < stages_.size() &&
           (failed_[stages_[stage_].line] || nextAddress_ > stages_[stage_].lastAddress)) {
      ++stage_;
      if (stage_ < stages_.size()) nextAddress_ = stages_[stage_].firstAddress;
    }
    if (stage_ < stages_.size()) return &stages_[stage_];
    if (secondPass_) return nullptr;
    secondPass_ = true;
    stages_ = RemainingStages(
        lines_, settings_.size(), [this](size_t l, int s) { return Heard(l, s) != 0; },
        [this](size_t l) { return static_cast<bool>(failed_[l]); });
    stage_ = 0;
    nextAddress_ = stages_.empty() ? 0 : stages_.front().firstAddress;
  }
}

void MeterFinder::SendNextProbe() {
  while (const SweepStage* stage = NextStage()) {
    if (!SelectLine(*stage)) continue;
    const SweepStage s = *stage;
    const int address = nextAddress_++;
    Send(RequestKind::Probe, s, address);
    if (pending_) return;
  }
  Finish();
}

bool MeterFinder::SelectLine(const SweepStage& stage) {
  const CandidateLine& line = lines_[stage.line];
  const SweepSetting setting =
      stage.settingIndex >= 0 ? settings_[static_cast<size_t>(stage.settingIndex)] : settings_[0];
  try {
    if (openLine_ != stage.line) {
      Close();
      port_ = opener_(line);
      openLine_ = stage.line;
      port_->SetSettings(SettingsText(setting));
      port_->SetPortOpen(true);
      port_->SetInputLen(0);
      port_->SetInBufferCount(0);
      appliedSetting_ = stage.settingIndex;
    } else if (appliedSetting_ != stage.settingIndex) {
      port_->SetSettings(SettingsText(setting));
      appliedSetting_ = stage.settingIndex;
    }
  } catch (const serial::SerialError& error) {
    FailLine(stage.line, serial::SerialErrorText(error));
    return false;
  }
  return true;
}

void MeterFinder::Send(RequestKind kind, const SweepStage& stage, int address) {
  const modbus::RegisterBlock block =
      kind == RequestKind::Probe ? kAddressProbeRead : kConfigurationRead;
  modbus::RequestBuffer request{};
  const int16_t n =
      modbus::BuildReadRequest(request, static_cast<uint8_t>(address), block.start, block.count);
  Pending p;
  p.kind = kind;
  p.settingIndex = stage.settingIndex;
  p.attempt.line = lines_[stage.line];
  if (stage.settingIndex >= 0)
    p.attempt.setting = settings_[static_cast<size_t>(stage.settingIndex)];
  p.attempt.address = address;
  p.waitMs = WaitMs(stage.settingIndex, kind);
  pending_ = std::move(p);
  try {
    modbus::DiscardPendingInput(*port_);
    port_->SetOutput(std::vector<uint8_t>(request.begin(), request.begin() + n));
  } catch (const serial::SerialError& error) {
    FailLine(stage.line, serial::SerialErrorText(error));
    return;
  }
  pending_->sentAtTick = clock_.GetTickCount();
}

MeterFinder::Remaining MeterFinder::RemainingWork(std::optional<size_t> onlyLine) const {
  Remaining r;
  const auto add = [&](size_t line, int settingIndex, uint64_t probes) {
    if (failed_[line] || (onlyLine && *onlyLine != line)) return;
    r.probes += probes;
    r.ms += probes * WaitMs(settingIndex, RequestKind::Probe);
  };
  for (size_t i = stage_; i < stages_.size(); ++i) {
    const SweepStage& s = stages_[i];
    const int from = i == stage_ ? std::max(nextAddress_, s.firstAddress) : s.firstAddress;
    const int left = s.lastAddress - from + 1;
    if (left > 0) add(s.line, s.settingIndex, static_cast<uint64_t>(left));
  }
  if (!secondPass_) {
    constexpr uint64_t kRest = kLastAddress - kLastLikelyAddress;
    for (size_t l = 0; l < lines_.size(); ++l) {
      if (!lines_[l].sweepSettings) {
        add(l, -1, kRest);
        continue;
      }
      for (size_t s = 0; s < settings_.size(); ++s) add(l, static_cast<int>(s), kRest);
    }
  }
  return r;
}

FinderProgress MeterFinder::Progress() const {
  FinderProgress p;
  p.probesTotal = probesTotal_;
  const Remaining r = RemainingWork(std::nullopt);
  const uint64_t pendingProbe = pending_ && pending_->kind == RequestKind::Probe ? 1 : 0;
  p.probesDone = probesTotal_ - r.probes - pendingProbe;
  p.remainingMs = r.ms + (pending_ ? pending_->waitMs : 0);
  return p;
}

}  // namespace kt::finder
