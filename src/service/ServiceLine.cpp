// A line's turn: open its port, let the scheduler settle and send, tell what came.
#include "service/ServiceLine.h"

#include <algorithm>

#include "serial/SerialErrorText.h"
#include "service/OpenableLine.h"

namespace kt::service {
namespace {

constexpr uint32_t kReopenMs = 1000;
// While a device server's connection is on its way.
constexpr uint32_t kConnectCheckMs = 20;
// A meter due that the scheduler did not send for is looked at again as the programs tick.
constexpr uint32_t kTickMs = 10;
// The availability is judged at least this often.
constexpr uint32_t kLongestWaitMs = 1000;

bool Reached(uint32_t now, uint32_t tick) {
  return static_cast<int32_t>(now - tick) >= 0;
}

uint32_t Until(uint32_t now, uint32_t tick) {
  return Reached(now, tick) ? 0 : tick - now;
}

}  // namespace

ServiceLine::ServiceLine(size_t index, const LineConfig& line, uint32_t intervalMs,
                         modbus::Clock& clock, MeterEvents& events)
    : index_(index),
      name_(line.name),
      clock_(clock),
      events_(events),
      line_(OpenableLine(line)),
      scheduler_(*line_, clock),
      poller_(clock),
      nextOpenTick_(clock.GetTickCount()),
      startTick_(clock.GetTickCount()) {
  scheduler_.MainPort().SetSettings(SettingsText(line));  // the scheduler's character times
  std::vector<bus::BusMeterEntry> entries;
  for (const MeterEntry& m : line.meters) entries.push_back({m.address, m.name});
  poller_.SetMeters(entries);
  online_.resize(poller_.Meters().size());
  poller_.SetIntervalMs(intervalMs);
  poller_.onBlock = [this](const values::MeasuredBlock& block) { TakeBlock(block); };
  poller_.Start();
  scheduler_.SetClient(&poller_);
}

uint32_t ServiceLine::Run() {
  uint32_t now = clock_.GetTickCount();
  JudgeStaleness(now);
  if (poller_.Meters().empty()) return kLongestWaitMs;
  if (!connected_ && !Open(now)) {
    return line_->GetPortOpen() ? kConnectCheckMs : Until(now, nextOpenTick_);
  }
  scheduler_.Tick();
  if (const std::optional<serial::SerialError> error = scheduler_.TakeLineError()) {
    Lost(serial::SerialErrorText(*error), now);
    return kReopenMs;
  }
  now = clock_.GetTickCount();
  // An exchange on the wire or the silence after it decides; else the next meter's turn.
  if (const std::optional<uint32_t> tick = scheduler_.MsUntilTick(now)) {
    return std::min(*tick, kLongestWaitMs);
  }
  const std::optional<uint32_t> due = poller_.MsUntilDue(now);
  if (!due) return kLongestWaitMs;
  return *due > 0 ? std::min(*due, kLongestWaitMs) : kTickMs;
}

bool ServiceLine::Open(uint32_t now) {
  if (!Reached(now, nextOpenTick_)) return false;
  try {
    if (!line_->GetPortOpen()) scheduler_.MainPort().SetPortOpen(true);
    if (!line_->ConnectionMade()) return false;
  } catch (const serial::SerialError& e) {
    Lost(serial::SerialErrorText(e), now);
    return false;
  }
  Note("线路 " + name_ + " 已打开 " + line_->DeviceName());
  connected_ = true;
  return true;
}

void ServiceLine::Lost(const std::string& reason, uint32_t now) {
  Note("线路 " + name_ + "：" + reason);
  scheduler_.MainPort().SetPortOpen(false);  // the scheduler forgets the exchange on the wire
  connected_ = false;
  nextOpenTick_ = now + kReopenMs;
}

void ServiceLine::TakeBlock(const values::MeasuredBlock& block) {
  const std::vector<bus::BusMeter>& meters = poller_.Meters();
  for (size_t i = 0; i < meters.size(); ++i) {
    if (meters[i].address != block.slaveAddress || online_[i] == true) continue;
    online_[i] = true;
    events_.OnAvailability(index_, block.slaveAddress, true);
  }
  events_.OnBlock(index_, block);
}

void ServiceLine::JudgeStaleness(uint32_t now) {
  const std::vector<bus::BusMeter>& meters = poller_.Meters();
  for (size_t i = 0; i < meters.size(); ++i) {
    const bus::BusMeter& m = meters[i];
    if (online_[i] == false) continue;
    // A meter not yet asked (its port not open) counts from the start.
    const bool asked = m.lastBlock || m.lastAskedTick;
    if (asked ? !poller_.Stale(m) : now - startTick_ <= poller_.StaleAfterMs(m)) continue;
    online_[i] = false;
    events_.OnAvailability(index_, m.address, false);
  }
}

void ServiceLine::Note(const std::string& text) {
  if (text != lastNote_) events_.OnLineNote(index_, text);
  lastNote_ = text;
}

PolledLines::PolledLines(const ServiceConfig& config, modbus::Clock& clock, MeterEvents& events)
    : clock_(clock) {
  for (size_t i = 0; i < config.lines.size(); ++i) {
    lines_.push_back(
        std::make_unique<ServiceLine>(i, config.lines[i], config.intervalMs, clock, events));
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
