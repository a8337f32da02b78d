// The line's turn: open, ask the next meter, take its reply or give it up, rest, ask the next.
#include "service/LinePoller.h"

#include <algorithm>
#include <chrono>

#include "modbus/FindFrame.h"
#include "modbus/MeterRegisters.h"
#include "modbus/QuietLine.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialErrorText.h"
#include "serial/TcpAddress.h"
#include "ui/CMonitorDlg.h"
#include "values/MeasuredBlockFromPayload.h"
#include "values/MeasurementBlock.h"

namespace kt::service {
namespace {

using modbus::meter_registers::kConfigurationRead;
using modbus::meter_registers::kMeasurementRead;

constexpr std::string_view kComPrefix = "COM";
// The port number a device path or tcp:// address is given by, through the environment lookup.
constexpr int16_t kNamedPort = 1;
// Meters answer 20..300 ms after the request; a reply later than this is given up.
constexpr uint32_t kAnswerAllowanceMs = 320;
// How often a line waiting for the first byte of its reply looks at the input.
constexpr uint32_t kFirstByteCheckMs = 10;
// A character on the wire: start bit, 8 data bits, parity or a second stop bit, stop bit.
constexpr uint32_t kBitsPerCharacter = 11;
constexpr uint32_t kReopenMs = 1000;
// While a device server's connection is on its way.
constexpr uint32_t kConnectCheckMs = 20;
// The configuration is read again after this many blocks, so that changed ratios are seen.
constexpr uint32_t kBlocksPerConfiguration = 60;
constexpr uint8_t kStatusPairBytes = 2;
constexpr uint32_t kLongestWaitMs = 1000;
// Address, function, start, count, CRC.
constexpr int kReadRequestBytes = 8;

bool Reached(uint32_t now, uint32_t tick) {
  return static_cast<int32_t>(now - tick) >= 0;
}

uint32_t Until(uint32_t now, uint32_t tick) {
  return Reached(now, tick) ? 0 : tick - now;
}

int32_t PowerOfTen(uint8_t exponent) {
  // An exponent beyond the table counts as none, as the main dialog keeps its multiplier.
  return exponent < ui::kPowerOfTen.size() ? static_cast<int32_t>(ui::kPowerOfTen[exponent]) : 1;
}

}  // namespace

std::unique_ptr<serial::SerialLine> OpenableLine(const LineConfig& line) {
  auto serialLine = std::make_unique<serial::SerialLine>();
  const bool numbered = line.port.starts_with(kComPrefix) && !serial::IsTcpAddress(line.port);
  const int16_t number =
      numbered ? static_cast<int16_t>(std::stoi(line.port.substr(kComPrefix.size()))) : kNamedPort;
  if (!numbered) {
    // The port's device is named the way KT7340_COM<N> names one: kept as that same device.
    serial::PortSources sources;
    const std::string variable = serial::PortEnvironmentVariable(kNamedPort);
    const std::string device = line.port;
    sources.environment = [variable, device](const std::string& name) {
      return name == variable ? std::optional<std::string>(device) : std::nullopt;
    };
    serialLine->SetPortSources(sources);
  }
  const bool rs485 = line.rs485;
  serialLine->SetEnvironment([rs485](const std::string& name) -> std::optional<std::string> {
    if (name == "KT7340_RS485" && rs485) return "1";
    return serial::ProcessEnvironment(name);
  });
  serialLine->SetCommPort(number);
  serialLine->SetSettings(SettingsText(line));
  return serialLine;
}

LinePoller::LinePoller(size_t index, LineConfig line, uint32_t intervalMs, modbus::Clock& clock,
                       MeterEvents& events)
    : index_(index),
      config_(std::move(line)),
      intervalMs_(intervalMs),
      clock_(clock),
      events_(events),
      line_(OpenableLine(config_)) {
  const uint32_t now = clock_.GetTickCount();
  for (const MeterEntry& m : config_.meters)
    meters_.push_back({m.address, {}, 0, false, now, 0, now, {}});
  nextOpenTick_ = now;
}

uint32_t LinePoller::Run() {
  const uint32_t now = clock_.GetTickCount();
  JudgeStaleness(now);
  if (meters_.empty()) return kLongestWaitMs;
  try {
    switch (phase_) {
      case Phase::Closed:
        return Open(now);
      case Phase::Idle:
        return Send(now);
      case Phase::Waiting:
        return Wait(now);
      case Phase::Resting:
        return Rest(now);
    }
  } catch (const serial::SerialError& e) {
    Lost(serial::SerialErrorText(e), now);
  }
  return kReopenMs;
}

uint32_t LinePoller::Open(uint32_t now) {
  if (!Reached(now, nextOpenTick_)) return Until(now, nextOpenTick_);
  if (!line_->GetPortOpen()) line_->SetPortOpen(true);
  if (!line_->ConnectionMade()) return kConnectCheckMs;
  const std::string note = "线路 " + config_.name + " 已打开 " + line_->DeviceName();
  if (note != lastNote_) events_.OnLineNote(index_, note);
  lastNote_ = note;
  phase_ = Phase::Idle;
  return Send(now);
}

uint32_t LinePoller::Send(uint32_t now) {
  // The next meter whose block is due, in turn; one still without its configuration is due.
  std::optional<uint32_t> soonest;
  for (size_t step = 0; step < meters_.size(); ++step) {
    const size_t i = (current_ + step) % meters_.size();
    const Meter& m = meters_[i];
    const uint32_t due = m.lastRequestTick + intervalMs_;
    if (!m.asked || !m.configuration || Reached(now, due)) {
      current_ = i;
      soonest.reset();
      break;
    }
    soonest = std::min(soonest.value_or(UINT32_MAX), Until(now, due));
  }
  if (soonest) return *soonest;

  Meter& meter = meters_[current_];
  askedConfiguration_ =
      !meter.configuration || meter.blocksSinceConfiguration >= kBlocksPerConfiguration;
  const modbus::RegisterBlock registers =
      askedConfiguration_ ? kConfigurationRead : kMeasurementRead;
  modbus::RequestBuffer request{};
  const int16_t n =
      modbus::BuildReadRequest(request, meter.address, registers.start, registers.count);
  line_->SetInBufferCount(0);  // whatever came late belongs to no request of ours
  received_.clear();
  line_->SetOutput(std::vector<uint8_t>(request.begin(), request.begin() + n));
  if (!askedConfiguration_) {
    // The meter's period is that of its blocks; a configuration read takes no block's turn.
    if (meter.asked) meter.periodMs = now - meter.lastRequestTick;
    meter.asked = true;
    meter.lastRequestTick = now;
  }
  sentTick_ = now;
  lastByteTick_ = now;
  phase_ = Phase::Waiting;
  return modbus::ReplyDueMs(config_.baud, n, modbus::ReadReplyLength(registers.count)) -
         modbus::kReplyTurnaroundMs;
}

uint32_t LinePoller::Wait(uint32_t now) {
  if (line_->GetInBufferCount() > 0) {
    const std::vector<uint8_t> bytes = line_->GetInput();
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    lastByteTick_ = now;
  }
  const Meter& meter = meters_[current_];
  const modbus::RegisterBlock registers =
      askedConfiguration_ ? kConfigurationRead : kMeasurementRead;
  const int16_t length = modbus::ReadReplyLength(registers.count);
  const int16_t at = modbus::FindReply(received_, modbus::SlaveAddress(meter.address),
                                       modbus::FunctionCode(modbus::kReadHoldingRegisters), length);
  const uint32_t quietMs = modbus::QuietMsFor(config_.baud);
  if (at >= 0) {
    // A status pair may follow a block at once; the line falling quiet says none comes.
    const size_t after = received_.size() - static_cast<size_t>(at + length);
    if (askedConfiguration_ || after >= kStatusPairBytes || Reached(now, lastByteTick_ + quietMs)) {
      Settle(at);
      return Rest(now);
    }
    return Until(now, lastByteTick_ + quietMs);
  }
  const uint32_t deadline =
      sentTick_ + modbus::ReplyDueMs(config_.baud, kReadRequestBytes, length) + kAnswerAllowanceMs;
  if (Reached(now, deadline)) {
    Settle(-1);
    return Rest(now);
  }
  // Before the first byte, a look now and then; once the reply comes, when the rest of it
  // can be in.
  uint32_t next = kFirstByteCheckMs;
  if (!received_.empty()) {
    const size_t missing = static_cast<size_t>(length) > received_.size()
                               ? static_cast<size_t>(length) - received_.size()
                               : 1;
    next = static_cast<uint32_t>(missing * kBitsPerCharacter * 1000 /
                                 static_cast<uint32_t>(config_.baud)) +
           1;
  }
  return std::min(next, Until(now, deadline));
}

uint32_t LinePoller::Rest(uint32_t now) {
  // The line rests from its last byte: after a quiet wait it has rested already.
  const uint32_t rested = settledTick_ + modbus::QuietMsFor(config_.baud);
  if (!Reached(now, rested)) return Until(now, rested);
  phase_ = Phase::Idle;
  return Send(now);
}

void LinePoller::Settle(int replyAt) {
  Meter& meter = meters_[current_];
  if (replyAt >= 0) {
    const size_t end = static_cast<size_t>(replyAt) +
                       static_cast<size_t>(modbus::ReadReplyLength(
                           (askedConfiguration_ ? kConfigurationRead : kMeasurementRead).count));
    Apply(meter, replyAt, received_.size() == end + kStatusPairBytes);
  }
  // A meter that gave its configuration is asked for its block next.
  if (!askedConfiguration_ || replyAt < 0) current_ = (current_ + 1) % meters_.size();
  settledTick_ = lastByteTick_;
  phase_ = Phase::Resting;
}

void LinePoller::Apply(Meter& meter, int replyAt, bool withStatus) {
  const uint8_t* data = received_.data() + replyAt + 3;
  if (askedConfiguration_) {
    meter.configuration =
        modbus::DecodeConfiguration(std::span<const uint8_t, modbus::kConfigurationDataBytes>(
            data, modbus::kConfigurationDataBytes));
    meter.blocksSinceConfiguration = 0;
    return;
  }
  const modbus::MeterConfiguration& c = *meter.configuration;
  const values::ScaleFactors scale{c.ptRatio, c.ctRatio, c.powerMultiplierFlag ? 4 : 1,
                                   PowerOfTen(c.energyExponent)};
  values::MeasuredBlock block = values::ToMeasuredBlock(data, scale, c.wiringMode, meter.address,
                                                        std::chrono::system_clock::now());
  block.pollPeriodMs = std::max(intervalMs_, meter.periodMs);
  if (withStatus) {
    const size_t pair = static_cast<size_t>(replyAt) + values::kBlockReplyLength;
    block.status = values::StatusPair{received_[pair], received_[pair + 1]};
  }
  ++meter.blocksSinceConfiguration;
  meter.lastAnswerTick = clock_.GetTickCount();
  if (meter.online != true) {
    meter.online = true;
    events_.OnAvailability(index_, meter.address, true);
  }
  events_.OnBlock(index_, block);
}

uint32_t LinePoller::StaleAfterMs(const Meter& meter) const {
  return ui::kStalePollPeriods * std::max(intervalMs_, meter.periodMs);
}

void LinePoller::JudgeStaleness(uint32_t now) {
  for (Meter& m : meters_) {
    if (m.online == false || now - m.lastAnswerTick <= StaleAfterMs(m)) continue;
    m.online = false;
    events_.OnAvailability(index_, m.address, false);
  }
}

void LinePoller::Lost(const std::string& text, uint32_t now) {
  if (text != lastNote_) events_.OnLineNote(index_, "线路 " + config_.name + "：" + text);
  lastNote_ = text;
  if (line_->GetPortOpen()) line_->SetPortOpen(false);
  phase_ = Phase::Closed;
  nextOpenTick_ = now + kReopenMs;
}

PolledLines::PolledLines(const ServiceConfig& config, modbus::Clock& clock, MeterEvents& events)
    : clock_(clock) {
  for (size_t i = 0; i < config.lines.size(); ++i) {
    lines_.push_back(
        std::make_unique<LinePoller>(i, config.lines[i], config.intervalMs, clock, events));
    dueTicks_.push_back(clock.GetTickCount());
  }
}

uint32_t PolledLines::Run() {
  uint32_t wait = kLongestWaitMs;
  for (size_t i = 0; i < lines_.size(); ++i) {
    uint32_t now = clock_.GetTickCount();
    if (Reached(now, dueTicks_[i])) {
      const uint32_t next = lines_[i]->Run();
      now = clock_.GetTickCount();
      dueTicks_[i] = now + next;
    }
    wait = std::min(wait, Until(now, dueTicks_[i]));
  }
  return wait;
}

}  // namespace kt::service
