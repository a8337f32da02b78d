// Framing what the finder hears, with the CRC as the only judge of a frame.
#include "finder/HeardFrames.h"

#include <optional>
#include <utility>

#include "modbus/Crc16.h"
#include "modbus/RequestFrames.h"

namespace kt::finder {
namespace {

constexpr uint8_t kLastSlaveAddress = 247;
constexpr uint8_t kExceptionFlag = 0x80;
constexpr uint8_t kReadInputRegisters = 0x04;
constexpr size_t kRequestBytes = 8;    // address, function, two words, CRC
constexpr size_t kExceptionBytes = 5;  // address, function | 0x80, code, CRC
constexpr size_t kReplyOverhead = 5;   // address, function, byte count, CRC
constexpr size_t kLongestFrame = 255;

bool CrcHolds(std::span<const uint8_t> frame) {
  const uint16_t crc = modbus::CalcCrc16(frame.first(frame.size() - 2));
  return frame[frame.size() - 2] == (crc >> 8) && frame[frame.size() - 1] == (crc & 0xFF);
}

bool IsRead(uint8_t function) {
  return function == modbus::kReadHoldingRegisters || function == kReadInputRegisters;
}

struct Match {
  HeardFrame frame;
  size_t length = 0;
};

// The frame at the head of `b`; nullopt with `needMore` set when more bytes may still make one.
std::optional<Match> FrameAt(std::span<const uint8_t> b, bool& needMore) {
  needMore = false;
  if (b.size() < 2) {
    needMore = !b.empty() && b[0] <= kLastSlaveAddress;
    return std::nullopt;
  }
  const uint8_t address = b[0];
  const uint8_t function = b[1];
  if (address > kLastSlaveAddress) return std::nullopt;
  const auto whole = [&](size_t length, HeardFrame frame) -> std::optional<Match> {
    if (b.size() < length) {
      needMore = true;
      return std::nullopt;
    }
    if (!CrcHolds(b.first(length))) return std::nullopt;
    return Match{std::move(frame), length};
  };
  if (IsRead(function) && address != 0) {
    if (b.size() < 3) {
      needMore = true;
      return std::nullopt;
    }
    const uint8_t count = b[2];
    if (count % 2 == 0 && count > 0) {
      if (auto m = whole(kReplyOverhead + count, {HeardKind::ReadReply, address, count, {}})) {
        m->frame.data.assign(b.begin() + 3, b.begin() + 3 + count);
        return m;
      }
    }
  }
  const bool waiting = needMore;
  if (IsRead(function) || function == modbus::kWriteSingleRegister) {
    if (auto m = whole(kRequestBytes, {HeardKind::Request, address, 0, {}})) return m;
  }
  if ((function & kExceptionFlag) != 0 && address != 0) {
    const auto plain = static_cast<uint8_t>(function & ~kExceptionFlag);
    if (IsRead(plain) || plain == modbus::kWriteSingleRegister ||
        plain == modbus::kWriteMultipleRegisters) {
      if (auto m = whole(kExceptionBytes, {HeardKind::Exception, address, 0, {}})) return m;
    }
  }
  needMore = needMore || waiting;
  return std::nullopt;
}

}  // namespace

void HeardFrames::ExpectEcho(std::span<const uint8_t> request) {
  echo_.assign(request.begin(), request.end());
  echoMatched_ = 0;
}

void HeardFrames::Add(std::span<const uint8_t> bytes) {
  for (const uint8_t b : bytes) {
    if (echoMatched_ < echo_.size()) {
      if (b == echo_[echoMatched_]) {
        if (++echoMatched_ == echo_.size()) echo_.clear();
        continue;
      }
      // Not the echo after all: what looked like its start was the head of something else.
      bytes_.insert(bytes_.end(), echo_.begin(), echo_.begin() + static_cast<long>(echoMatched_));
      echo_.clear();
    }
    bytes_.push_back(b);
  }
}

std::vector<HeardFrame> HeardFrames::Take(bool flush) {
  std::vector<HeardFrame> heard;
  const std::span<const uint8_t> all(bytes_);
  size_t at = 0;
  size_t strayFrom = 0;
  const auto strayUpTo = [&](size_t end) {
    if (end > strayFrom) heard.push_back({HeardKind::Stray, 0, 0, {}});
  };
  while (at < all.size()) {
    bool needMore = false;
    const std::optional<Match> m = FrameAt(all.subspan(at), needMore);
    if (m) {
      strayUpTo(at);
      heard.push_back(m->frame);
      at += m->length;
      strayFrom = at;
      continue;
    }
    if (needMore && !flush && all.size() - at < kLongestFrame) {
      // A frame may still grow from here, unless a whole one stands further on.
      size_t next = at + 1;
      bool ahead = false;
      for (; next < all.size() && !ahead; ++next) {
        bool more = false;
        ahead = FrameAt(all.subspan(next), more).has_value();
      }
      if (!ahead) break;
      at = next - 1;
      continue;
    }
    ++at;
  }
  if (flush) at = all.size();
  strayUpTo(at);
  // Bytes before `strayFrom` are gone; a stray run already reported up to `at` is gone too.
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<long>(at));
  return heard;
}

void HeardFrames::Clear() {
  bytes_.clear();
  echo_.clear();
  echoMatched_ = 0;
}

}  // namespace kt::finder
