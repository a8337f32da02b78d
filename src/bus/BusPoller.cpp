// The round over the meters and what each exchange tells about its meter.
#include "bus/BusPoller.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "bus/LineTimes.h"
#include "modbus/FrameFields.h"
#include "modbus/MeterRegisters.h"
#include "modbus/RequestFrames.h"
#include "values/MeasuredBlockFromPayload.h"
#include "values/MeasurementBlock.h"

namespace kt::bus {
namespace {

namespace regs = modbus::meter_registers;

constexpr size_t kDataOffset = 3;  // address, function, byte count
// The voltage and current status bytes a meter may send right after its block.
constexpr int16_t kStatusPairBytes = 2;
constexpr uint32_t kAnswerMarginMs = 20;
constexpr std::array<int32_t, 7> kEnergyPowers = {1, 10, 100, 1000, 10000, 100000, 1000000};

// Room for the meter's answer: half as long again as its slowest answer since it was lost, and
// a margin; a meter the bus has not timed gets the longest a meter takes (also one whose row the
// main dialog fed, "正常" without an answer time of the bus's own).
uint32_t AllowanceFor(const BusMeter& meter) {
  if (meter.longestAnswerMs == 0) return kLongestAnswerMs;
  return std::min(kLongestAnswerMs, meter.longestAnswerMs * 3 / 2 + kAnswerMarginMs);
}

// Whether `a` waits longer for its turn than `b`: never asked before asked, else asked earlier.
bool AskedEarlier(const BusMeter& a, const BusMeter& b, uint32_t now) {
  if (!a.lastAskedTick || !b.lastAskedTick) return !a.lastAskedTick && b.lastAskedTick;
  return now - *a.lastAskedTick > now - *b.lastAskedTick;
}

BusRequest ReadRequest(uint8_t address, const modbus::RegisterBlock& block, uint32_t allowanceMs) {
  modbus::RequestBuffer buffer{};
  const int16_t n = modbus::BuildReadRequest(buffer, address, block.start, block.count);
  BusRequest r;
  r.frame.assign(buffer.begin(), buffer.begin() + n);
  r.address = address;
  r.function = modbus::kReadHoldingRegisters;
  r.replyLength = modbus::ReadReplyLength(block.count);
  r.allowanceMs = allowanceMs;
  return r;
}

}  // namespace

BusPoller::BusPoller(modbus::Clock& clock) : clock_(clock) {}

void BusPoller::SetMeters(const std::vector<BusMeterEntry>& entries) {
  std::vector<BusMeter> kept;
  for (const BusMeterEntry& entry : entries) {
    if (std::any_of(kept.begin(), kept.end(),
                    [&](const BusMeter& m) { return m.address == entry.address; })) {
      continue;
    }
    BusMeter* old = FindMeter(entry.address);
    BusMeter meter = old != nullptr ? std::move(*old) : BusMeter{};
    meter.address = entry.address;
    meter.name = entry.name;
    if (old == nullptr) {
      meter.link.PortOpened("");
      meter.link.SetActive(running_);
    }
    kept.push_back(std::move(meter));
  }
  meters_ = std::move(kept);
}

const BusMeter* BusPoller::Find(uint8_t address) const {
  for (const BusMeter& m : meters_) {
    if (m.address == address) return &m;
  }
  return nullptr;
}

BusMeter* BusPoller::FindMeter(uint8_t address) {
  return const_cast<BusMeter*>(std::as_const(*this).Find(address));
}

void BusPoller::Start() {
  running_ = true;
  for (BusMeter& m : meters_) m.link.SetActive(true);
}

void BusPoller::Stop() {
  running_ = false;
  for (BusMeter& m : meters_) m.link.SetActive(false);
}

uint32_t BusPoller::StaleAfterMs(const BusMeter& meter) const {
  return std::max(kStaleAtLeastMs, kStaleCycles * std::max(meter.cycleMs, intervalMs_));
}

bool BusPoller::Stale(const BusMeter& meter) const {
  // A meter asked but never read counts from its first request.
  if (!meter.lastBlock && !meter.lastAskedTick) return false;
  return clock_.GetTickCount() - meter.lastBlockTick > StaleAfterMs(meter);
}

bool BusPoller::MainDialogFeeds(const BusMeter& meter, uint32_t now) const {
  return meter.fedByMainDialog && now - meter.lastBlockTick <= StaleAfterMs(meter);
}

uint32_t BusPoller::MsUntilTurn(const BusMeter& meter, uint32_t now) const {
  if (!meter.turnTick || now - *meter.turnTick >= intervalMs_) return 0;
  return intervalMs_ - (now - *meter.turnTick);
}

std::optional<uint32_t> BusPoller::MsUntilDue(uint32_t now) const {
  if (!running_) return std::nullopt;
  std::optional<uint32_t> soonest;
  for (const BusMeter& meter : meters_) {
    if (MainDialogFeeds(meter, now)) continue;
    soonest = std::min(soonest.value_or(UINT32_MAX), MsUntilTurn(meter, now));
  }
  return soonest;
}

std::optional<BusRequest> BusPoller::NextRequest(const RequestFits& fits) {
  if (!running_) return std::nullopt;
  const uint32_t now = clock_.GetTickCount();
  // The meter asked longest ago (one never asked first, in the list's order) among those whose
  // exchange fits: the list in turn while all fit, and a meter passed over first once it fits.
  BusMeter* chosen = nullptr;
  std::optional<BusRequest> request;
  for (BusMeter& meter : meters_) {
    if (MainDialogFeeds(meter, now) || MsUntilTurn(meter, now) > 0) continue;
    if (chosen != nullptr && !AskedEarlier(meter, *chosen, now)) continue;
    BusRequest r = ReadRequest(
        meter.address, meter.configurationDue ? regs::kConfigurationRead : regs::kMeasurementRead,
        AllowanceFor(meter));
    if (!meter.configurationDue) r.trailingBytes = kStatusPairBytes;
    r.knownAnswerMs = meter.longestAnswerMs;
    if (!fits(r)) continue;
    chosen = &meter;
    request = std::move(r);
  }
  if (chosen == nullptr) return std::nullopt;
  if (!chosen->configurationDue) chosen->turnTick = now;
  if (!chosen->lastBlock && !chosen->lastAskedTick) chosen->lastBlockTick = now;
  if (chosen->lastAskedTick) {
    chosen->cycleMs = now - *chosen->lastAskedTick;
    lastRoundMs_ = chosen->cycleMs;
  }
  chosen->lastAskedTick = now;
  return request;
}

void BusPoller::ExchangeDone(const BusRequest& request, const ExchangeResult& result) {
  BusMeter* meter = FindMeter(request.address);
  if (meter == nullptr || result.lineClosed) return;
  meter->link.RequestSent();
  meter->link.ReplyJudged(result.verdict);
  const bool configurationRead =
      request.replyLength == modbus::ReadReplyLength(regs::kConfigurationRead.count);
  // A configuration not given ends the meter's turn as its block would have.
  if (configurationRead && result.replyPos < 0) meter->turnTick = meter->lastAskedTick;
  if (result.verdict.outcome == modbus::ReplyOutcome::NoReply) {
    // Read afresh when it answers again: it may have been replaced meanwhile.
    meter->configurationDue = true;
    meter->longestAnswerMs = 0;
    return;
  }
  if (result.replyPos < 0) return;
  meter->longestAnswerMs = std::max({meter->longestAnswerMs, result.answerMs, uint32_t{1}});
  if (configurationRead) {
    TakeConfiguration(*meter, result.bytes.data() + result.replyPos + kDataOffset);
  } else if (meter->configuration) {
    TakeBlock(*meter, request, result);
  }
}

void BusPoller::MainDialogWrote(uint8_t address) {
  for (BusMeter& m : meters_) {
    if (address == modbus::kBroadcastAddress || m.address == address) m.configurationDue = true;
  }
}

void BusPoller::TakeConfiguration(BusMeter& meter, const uint8_t* data) {
  meter.configuration =
      modbus::DecodeConfiguration(std::span<const uint8_t, modbus::kConfigurationDataBytes>(
          data, modbus::kConfigurationDataBytes));
  meter.configurationDue = false;
  meter.blocksSinceConfiguration = 0;
}

void BusPoller::TakeBlock(BusMeter& meter, const BusRequest& request,
                          const ExchangeResult& result) {
  const modbus::MeterConfiguration& c = *meter.configuration;
  const values::ScaleFactors scale{
      c.ptRatio, c.ctRatio, c.powerMultiplierFlag ? 4 : 1,
      c.energyExponent < kEnergyPowers.size() ? kEnergyPowers[c.energyExponent] : 1};
  const auto replyAt = static_cast<size_t>(result.replyPos);
  values::MeasuredBlock block = values::ToMeasuredBlock(
      result.bytes.data() + replyAt + kDataOffset, scale, c.wiringMode, meter.address, wallClock());
  // The status pair follows the reply directly and ends what came, as the main dialog takes it.
  const size_t pairAt = replyAt + static_cast<size_t>(request.replyLength);
  if (result.bytes.size() == pairAt + kStatusPairBytes) {
    block.status = values::StatusPair{result.bytes[pairAt], result.bytes[pairAt + 1]};
  }
  meter.lastBlock = block;
  meter.lastBlockTick = clock_.GetTickCount();
  meter.fedByMainDialog = false;
  meter.link.BlockDecoded(std::chrono::system_clock::to_time_t(block.time));
  if (++meter.blocksSinceConfiguration >= kBlocksPerConfiguration) meter.configurationDue = true;
  if (onBlock) onBlock(block);
}

void BusPoller::OnBlockDecoded(const values::MeasuredBlock& block) {
  BusMeter* meter = FindMeter(block.slaveAddress);
  if (meter == nullptr) return;
  meter->lastBlock = block;
  meter->lastBlockTick = clock_.GetTickCount();
  meter->fedByMainDialog = true;
  meter->link.SetActive(true);
  meter->link.RequestSent();
  modbus::ReplyVerdict valid;
  valid.outcome = modbus::ReplyOutcome::Valid;
  meter->link.ReplyJudged(valid);
  meter->link.BlockDecoded(std::chrono::system_clock::to_time_t(block.time));
}

}  // namespace kt::bus
