// One line's schedule: probes, late replies asked again, retries, rests between requests.
#include "finder/LineSweep.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "finder/LentLine.h"
#include "finder/ProbeTiming.h"
#include "modbus/Buffers.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"
#include "modbus/SerialInput.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"

namespace kt::finder {
namespace {

using modbus::meter_registers::kAddressProbeRead;
using modbus::meter_registers::kConfigurationRead;

constexpr uint32_t kRequestBytes = 8;
constexpr int kMaxTries = 2;  // a request and, after a sign of life, one more

std::string SettingsText(const SweepSetting& s) {
  return std::to_string(s.baudRate) + std::string(serial::FindParityRow(s.parity)->settingsSuffix);
}

uint32_t Since(modbus::Clock& clock, uint32_t tick) {
  return static_cast<uint32_t>(clock.GetTickCount() - tick);
}

constexpr uint32_t kProbeReplyBytes = modbus::ReadReplyLength(kAddressProbeRead.count);

// Ticks wrap: the later of two close ticks by their signed difference.
uint32_t Later(uint32_t a, uint32_t b) {
  return static_cast<int32_t>(a - b) >= 0 ? a : b;
}

}  // namespace

LineSweep::LineSweep(CandidateLine line, const std::vector<SweepSetting>& settings,
                     LineOpener& opener, modbus::Clock& clock, FinderResults& results)
    : line_(std::move(line)),
      settings_(settings),
      opener_(opener),
      clock_(clock),
      results_(results),
      stages_(LikelyStages({line_}, settings.size())),
      heard_(line_.sweepSettings ? settings.size() : 1, uint8_t{0}) {
  probesTotal_ = heard_.size() * static_cast<uint64_t>(kLastAddress - kFirstAddress + 1 +
                                                       kLastLikelyAddress - kFirstAddress + 1);
  nextAddress_ = stages_.empty() ? 0 : stages_.front().firstAddress;
  done_ = stages_.empty();
}

LineSweep::~LineSweep() {
  Close();
}

int32_t LineSweep::Baud(int settingIndex) const {
  return settingIndex >= 0 ? settings_[static_cast<size_t>(settingIndex)].baudRate : 0;
}

uint32_t LineSweep::AnswerMsFor(int settingIndex) const {
  const bool likely = pass_ == 0 || heard_[static_cast<size_t>(std::max(settingIndex, 0))] != 0;
  return likely ? kLikelyAnswerMs : kTailAnswerMs;
}

bool LineSweep::Reached(uint32_t tick) const {
  return Later(clock_.GetTickCount(), tick) == clock_.GetTickCount();
}

std::optional<Attempt> LineSweep::Current() const {
  if (!pending_) return std::nullopt;
  Attempt a{line_, std::nullopt, pending_->address};
  if (pending_->settingIndex >= 0)
    a.setting = settings_[static_cast<size_t>(pending_->settingIndex)];
  return a;
}

void LineSweep::Stop() {
  Close();
  done_ = true;
}

void LineSweep::Close() {
  pending_.reset();
  next_.reset();
  held_.reset();
  lateRepliesInByTick_.reset();
  frames_.Clear();
  if (port_) {
    try {
      port_->SetPortOpen(false);
    } catch (const serial::SerialError&) {
      // Closing gives nothing back worth reporting: the line is left either way.
    }
  }
  port_.reset();
  appliedSetting_ = -2;
  connected_ = false;
}

void LineSweep::Fail(const std::string& reason) {
  results_.failures.push_back({line_, reason});
  Stop();
}

bool LineSweep::Known(int settingIndex, int address) const {
  const bool withSettings = settingIndex >= 0;
  const int32_t baud = Baud(settingIndex);
  // A meter that takes any parity answers at each: the rate and the address name it.
  return std::any_of(results_.found.begin(), results_.found.end(), [&](const FoundMeter& m) {
    return m.line.portNumber == line_.portNumber && m.address == address &&
           m.setting.has_value() == withSettings && (!withSettings || m.setting->baudRate == baud);
  });
}

void LineSweep::Tick() {
  if (done_) return;
  if (!port_ && !Open()) return;
  if (!ConnectionMade() || !Listen()) return;
  if (pending_ && !Settle()) return;
  if (done_) return;
  if (restUntilTick_ && !Reached(*restUntilTick_)) return;
  restUntilTick_.reset();
  SendNext();
}

bool LineSweep::Open() {
  try {
    port_ = opener_(line_);
    const SweepSetting first = settings_.front();
    port_->SetSettings(SettingsText(first));
    port_->SetPortOpen(true);
    port_->SetInputLen(0);
    port_->SetInBufferCount(0);
    appliedSetting_ = line_.sweepSettings ? 0 : -1;
  } catch (const serial::SerialError& error) {
    Fail(serial::SerialErrorText(error));
    return false;
  }
  return true;
}

bool LineSweep::ConnectionMade() {
  if (connected_) return true;
  // A device server's connection may take its time; its transport gives up on its own.
  serial::SerialControl* control = port_.get();
  if (auto* lent = dynamic_cast<LentLine*>(control)) control = &lent->Inner();
  auto* serialLine = dynamic_cast<serial::SerialLine*>(control);
  try {
    connected_ = serialLine == nullptr || serialLine->ConnectionMade();
  } catch (const serial::SerialError& error) {
    Fail(serial::SerialErrorText(error));
  }
  return connected_;
}

bool LineSweep::Listen() {
  std::vector<uint8_t> bytes;
  try {
    modbus::ReceiveBuffer buffer{};
    const int16_t n = modbus::TakeReceivedBytes(*port_, buffer);
    bytes.assign(buffer.begin(), buffer.begin() + n);
  } catch (const serial::SerialError& error) {
    Fail(serial::SerialErrorText(error));
    return false;
  }
  if (!bytes.empty() && pending_) pending_->lastArrivalTick = clock_.GetTickCount();
  frames_.Add(bytes);
  for (const HeardFrame& f : frames_.Take(false)) Consider(f);
  return true;
}

void LineSweep::Consider(const HeardFrame& frame) {
  heard_[static_cast<size_t>(std::max(appliedSetting_, 0))] = 1;
  Pending* p = pending_ ? &*pending_ : nullptr;
  const auto wantedBytes = [](RequestKind kind) {
    return kind == RequestKind::Configuration ? kConfigurationRead.DataBytes()
                                              : kAddressProbeRead.DataBytes();
  };
  switch (frame.kind) {
    case HeardKind::ReadReply:
      if (p != nullptr && frame.address == p->address && !p->foreignSeen &&
          frame.byteCount == wantedBytes(p->kind)) {
        p->answer = frame.data;
        return;
      }
      Evidence(frame.address);
      return;
    case HeardKind::Exception:
      if (p != nullptr && frame.address != p->address) Evidence(frame.address);
      break;
    case HeardKind::Request:
      if (p != nullptr) p->foreignSeen = true;
      break;
    case HeardKind::Stray:
      break;
  }
  if (p != nullptr) p->lifeSeen = true;
}

void LineSweep::Evidence(uint8_t address) {
  // A valid frame names its sender: ask it again, with the full allowance, at these settings.
  const std::pair<int, int> key{appliedSetting_, address};
  if (address < kFirstAddress || address > kLastAddress || Known(key.first, key.second) ||
      !asked_.insert(key).second) {
    return;
  }
  reasks_.push_back(key);
}

bool LineSweep::Settle() {
  Pending& p = *pending_;
  if (!p.answer) {
    const bool due = Since(clock_, p.sentAtTick) >= p.dueMs;
    const uint32_t pause = std::max(kReplyPauseMs, QuietMs(Baud(p.settingIndex)));
    const bool paused = !p.lastArrivalTick || Since(clock_, *p.lastArrivalTick) >= pause;
    if (!(due && paused) && Since(clock_, p.sentAtTick) < kMaxReplyWaitMs) return false;
    for (const HeardFrame& f : frames_.Take(true)) Consider(f);
  }
  Pending settled = std::move(*pending_);
  pending_.reset();
  if (settled.answer) {
    Answered(std::move(settled));
  } else {
    TimedOut(std::move(settled));
  }
  return true;
}

void LineSweep::Rest(uint32_t fromTick) {
  restUntilTick_ = fromTick + QuietMs(Baud(appliedSetting_));
}

void LineSweep::Answered(Pending p) {
  Rest(clock_.GetTickCount());
  if (p.kind == RequestKind::Configuration) {
    const auto data = std::span<const uint8_t>(*p.answer).first<modbus::kConfigurationDataBytes>();
    List(p, modbus::DecodeConfiguration(data));
    return;
  }
  // The same meter heard at another parity of the same rate is listed once.
  if (Known(p.settingIndex, p.address)) return;
  next_ = Request{RequestKind::Configuration, p.settingIndex, p.address, kLikelyAnswerMs, 1};
}

void LineSweep::TimedOut(Pending p) {
  // The line rests from the moment the reply was due, or from the last byte heard after it.
  const uint32_t due = p.sentAtTick + p.dueMs;
  Rest(p.lastArrivalTick ? Later(due, *p.lastArrivalTick) : due);
  if ((p.lifeSeen || p.kind == RequestKind::Configuration) && p.tries < kMaxTries) {
    Request again = p;
    ++again.tries;
    next_ = again;
    return;
  }
  if (p.kind == RequestKind::Configuration) List(p, std::nullopt);
}

void LineSweep::List(const Request& request,
                     std::optional<modbus::MeterConfiguration> configuration) {
  if (Known(request.settingIndex, request.address)) return;
  FoundMeter meter{line_, std::nullopt, request.address, configuration};
  if (request.settingIndex >= 0)
    meter.setting = settings_[static_cast<size_t>(request.settingIndex)];
  results_.found.push_back(meter);
}

void LineSweep::SendNext() {
  std::optional<Request> request = std::exchange(next_, std::nullopt);
  while (!request && !reasks_.empty()) {
    const auto [setting, address] = reasks_.front();
    reasks_.pop_front();
    if (!Known(setting, address)) {
      request = Request{RequestKind::Reask, setting, address, kLikelyAnswerMs, 1};
    }
  }
  if (!request) request = std::exchange(held_, std::nullopt);
  if (!request) request = NextProbe();
  // A slow meter's late reply comes at these settings only: wait for it before leaving them.
  const bool leaving = !request || request->settingIndex != appliedSetting_;
  if (leaving && lateRepliesInByTick_ && !Reached(*lateRepliesInByTick_)) {
    held_ = request;
    return;
  }
  if (!request) {
    Stop();
    return;
  }
  Send(*request);
  if (pending_ && request->answerMs < kLikelyAnswerMs) {
    lateRepliesInByTick_ =
        pending_->sentAtTick +
        FirstByteDueMs(Baud(request->settingIndex), kRequestBytes, kLikelyAnswerMs) +
        TransmissionMs(kProbeReplyBytes, Baud(request->settingIndex));
  }
}

std::optional<LineSweep::Request> LineSweep::NextProbe() {
  while (const SweepStage* stage = NextStage()) {
    const int address = nextAddress_++;
    if (Known(stage->settingIndex, address)) continue;
    return Request{RequestKind::Probe, stage->settingIndex, address,
                   AnswerMsFor(stage->settingIndex), 1};
  }
  return std::nullopt;
}

const SweepStage* LineSweep::NextStage() {
  for (;;) {
    while (stage_ < stages_.size() && nextAddress_ > stages_[stage_].lastAddress) {
      ++stage_;
      if (stage_ < stages_.size()) nextAddress_ = stages_[stage_].firstAddress;
    }
    if (stage_ < stages_.size()) return &stages_[stage_];
    if (pass_ == 2) return nullptr;
    if (++pass_ == 1) stages_ = LikelyStages({line_}, settings_.size(), true);
    if (pass_ == 2) {
      stages_ = RemainingStages(
          {line_}, settings_.size(),
          [this](size_t, int s) { return heard_[static_cast<size_t>(std::max(s, 0))] != 0; },
          [](size_t) { return false; });
    }
    stage_ = 0;
    nextAddress_ = stages_.empty() ? 0 : stages_.front().firstAddress;
  }
}

bool LineSweep::ApplySetting(int settingIndex) {
  if (settingIndex == appliedSetting_ || settingIndex < 0) return true;
  try {
    port_->SetSettings(SettingsText(settings_[static_cast<size_t>(settingIndex)]));
    // What came at the old settings means nothing at the new ones.
    modbus::DiscardPendingInput(*port_);
  } catch (const serial::SerialError& error) {
    Fail(serial::SerialErrorText(error));
    return false;
  }
  frames_.Clear();
  appliedSetting_ = settingIndex;
  return true;
}

void LineSweep::Send(const Request& request) {
  if (!ApplySetting(request.settingIndex)) return;
  const modbus::RegisterBlock block =
      request.kind == RequestKind::Configuration ? kConfigurationRead : kAddressProbeRead;
  modbus::RequestBuffer buffer{};
  const int16_t n = modbus::BuildReadRequest(buffer, static_cast<uint8_t>(request.address),
                                             block.start, block.count);
  const std::vector<uint8_t> bytes(buffer.begin(), buffer.begin() + n);
  Pending p;
  static_cast<Request&>(p) = request;
  p.dueMs = FirstByteDueMs(Baud(request.settingIndex), kRequestBytes, request.answerMs);
  frames_.ExpectEcho(bytes);
  try {
    port_->SetOutput(bytes);
  } catch (const serial::SerialError& error) {
    Fail(serial::SerialErrorText(error));
    return;
  }
  p.sentAtTick = clock_.GetTickCount();
  pending_ = std::move(p);
}

LineSweep::Work LineSweep::Remaining() const {
  Work w;
  if (done_) return w;
  const auto add = [&](int settingIndex, int from, int to, uint32_t answerMs) {
    if (to < from) return;
    const uint64_t probes = static_cast<uint64_t>(to) - static_cast<uint64_t>(from) + 1;
    w.probes += probes;
    w.ms += probes * UnansweredCycleMs(Baud(settingIndex), kRequestBytes, answerMs);
  };
  for (size_t i = stage_; i < stages_.size(); ++i) {
    const SweepStage& s = stages_[i];
    const int from = i == stage_ ? std::max(nextAddress_, s.firstAddress) : s.firstAddress;
    add(s.settingIndex, from, s.lastAddress, AnswerMsFor(s.settingIndex));
  }
  // The passes still to come, at what is known now.
  for (size_t s = 0; s < heard_.size(); ++s) {
    const int setting = line_.sweepSettings ? static_cast<int>(s) : -1;
    const uint32_t answerMs = heard_[s] != 0 ? kLikelyAnswerMs : kTailAnswerMs;
    if (pass_ == 0 && s >= kSettingsAskedTwiceAtOnce) {
      add(setting, kFirstAddress, kLastLikelyAddress, answerMs);
    }
    if (pass_ < 2) add(setting, kLastLikelyAddress + 1, kLastAddress, answerMs);
  }
  return w;
}

uint64_t LineSweep::RemainingMs() const {
  return Remaining().ms + (pending_ ? pending_->dueMs : 0);
}

}  // namespace kt::finder
