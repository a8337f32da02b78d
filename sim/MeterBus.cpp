// Several meters on one line, and the garbage a master at wrong settings hears.
#include "sim/MeterBus.h"

#include <algorithm>

namespace kt::sim {
namespace {

// What the meters would have answered to a one-register read: a 7-byte reply.
constexpr size_t kGarbledReplyBytes = 7;
constexpr size_t kMaxGarbageBytes = 32;
constexpr uint64_t kGarbageSeedSalt = 0x6D69736D61746368ull;  // its own sequence beside the faults

}  // namespace

size_t GarbledByteCount(size_t bytes, int32_t senderBaud, int32_t receiverBaud) {
  if (senderBaud <= 0 || receiverBaud <= 0) return 1;
  const size_t count = bytes * static_cast<size_t>(receiverBaud) / static_cast<size_t>(senderBaud);
  return std::clamp<size_t>(count, 1, kMaxGarbageBytes);
}

MeterBus::MeterBus(const std::vector<MeterConfig>& meters, bool mismatchGarbage, uint32_t seed)
    : mismatchGarbage_(mismatchGarbage), garbage_(seed ^ kGarbageSeedSalt) {
  for (const MeterConfig& config : meters) ports_.emplace_back(config);
  if (ports_.empty()) ports_.emplace_back(MeterConfig{});
}

void MeterBus::SetWireTiming(bool on) {
  wireTiming_ = on;
  for (MeterPort& p : ports_) p.SetWireTiming(on);
}

void MeterBus::SetLogging(bool on) {
  for (MeterPort& p : ports_) p.SetLogging(on);
}

std::vector<std::string> MeterBus::TakeLog() {
  std::vector<std::string> log;
  for (MeterPort& p : ports_) {
    std::vector<std::string> more = p.TakeLog();
    log.insert(log.end(), more.begin(), more.end());
  }
  return log;
}

void MeterBus::Receive(uint8_t byte, uint64_t atUs, LineSettings sender) {
  AdvanceTo(atUs);
  if (echo_) echoOut_.push_back({atUs, byte, sender, true});
  if (!attached_) return;
  for (MeterPort& p : ports_) p.Receive(byte, atUs, sender);
  if (!mismatchGarbage_ || ports_.front().Understands(sender)) return;
  mismatchEndUs_ = atUs;
  ++mismatchBytes_;
  mismatchSender_ = sender;
}

void MeterBus::ScheduleGarbage(uint64_t nowUs) {
  const LineSettings line = meter().line();
  if (!mismatchEndUs_ || nowUs < *mismatchEndUs_ + SilenceUs(line.baud)) return;
  const uint64_t start =
      *mismatchEndUs_ + SilenceUs(line.baud) + uint64_t{meter().responseDelayMs()} * 1000;
  const size_t count = GarbledByteCount(kGarbledReplyBytes, line.baud, mismatchSender_.baud);
  for (size_t n = 0; n < count; ++n) {
    // What the master's UART delivers arrives paced at its own rate.
    const uint64_t at = wireTiming_ ? start + CharEndUs(n, mismatchSender_.baud) : start;
    garbageOut_.push_back({at, garbage_.Byte(), mismatchSender_, false});
  }
  mismatchEndUs_.reset();
  mismatchBytes_ = 0;
}

void MeterBus::AdvanceTo(uint64_t nowUs) {
  for (MeterPort& p : ports_) p.AdvanceTo(nowUs);
  ScheduleGarbage(nowUs);
}

std::vector<TimedByte> MeterBus::TakeSent(uint64_t nowUs) {
  std::vector<TimedByte> sent;
  for (MeterPort& p : ports_) {
    const std::vector<TimedByte> more = p.TakeSent(nowUs);
    sent.insert(sent.end(), more.begin(), more.end());
  }
  while (!echoOut_.empty() && echoOut_.front().atUs <= nowUs) {
    sent.push_back(echoOut_.front());
    echoOut_.pop_front();
  }
  while (!garbageOut_.empty() && garbageOut_.front().atUs <= nowUs) {
    sent.push_back(garbageOut_.front());
    garbageOut_.pop_front();
  }
  std::stable_sort(sent.begin(), sent.end(),
                   [](const TimedByte& a, const TimedByte& b) { return a.atUs < b.atUs; });
  return sent;
}

std::optional<uint64_t> MeterBus::NextEventUs() const {
  std::optional<uint64_t> next;
  const auto earlier = [&](uint64_t t) {
    if (!next || t < *next) next = t;
  };
  for (const MeterPort& p : ports_) {
    if (const auto t = p.NextEventUs()) earlier(*t);
  }
  if (mismatchEndUs_) earlier(*mismatchEndUs_ + SilenceUs(meter().baudRate()));
  if (!garbageOut_.empty()) earlier(garbageOut_.front().atUs);
  if (!echoOut_.empty()) earlier(echoOut_.front().atUs);
  return next;
}

}  // namespace kt::sim
