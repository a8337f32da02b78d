// What a line brings back, frame by frame: read replies named by their sender and their byte
// count, exception replies, requests of another master, and bytes that are none of these. The
// echo of the finder's own request at the head of what follows it is left out.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kt::finder {

enum class HeardKind {
  ReadReply,  // a whole read reply with a right CRC: `address` sent it, `byteCount` data bytes
  Exception,  // a whole exception reply from `address`
  Request,    // a whole request (read or single write) of another master to `address`
  Stray,      // bytes that are no whole frame: noise, a cut or corrupted reply
};

struct HeardFrame {
  HeardKind kind = HeardKind::Stray;
  uint8_t address = 0;
  int byteCount = 0;            // ReadReply: the reply's byte count
  std::vector<uint8_t> data{};  // ReadReply: its data bytes
};

class HeardFrames {
 public:
  // A request went out: a copy of it at the head of the bytes that follow is the adapter's echo.
  void ExpectEcho(std::span<const uint8_t> request);
  void Add(std::span<const uint8_t> bytes);
  // The frames whole so far, in order. Bytes that may still become a frame are kept unless
  // `flush`, which counts them as stray.
  std::vector<HeardFrame> Take(bool flush);
  // Bytes are kept that may still become a frame.
  bool Holding() const { return !bytes_.empty(); }
  void Clear();

 private:
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> echo_;  // the request whose echo may still come
  size_t echoMatched_ = 0;     // its bytes seen so far
};

}  // namespace kt::finder
