// Framing of requests by length and silence.
#include "sim/FrameAssembler.h"

namespace kt::sim {

size_t ImpliedRequestLength(const std::vector<uint8_t>& head) {
  if (head.size() < 2) return 0;
  const uint8_t function = head[1];
  if (function >= 0x01 && function <= 0x06) return 8;
  if (function == 0x0F || function == 0x10) return head.size() < 7 ? 0 : 9u + head[6];
  return 0;
}

std::optional<FrameAssembler::Frame> FrameAssembler::CloseOnSilence(uint64_t nowUs) {
  if ((bytes_.empty() && !garbled_) || nowUs < lastUs_ + silenceUs_) return std::nullopt;
  std::optional<Frame> frame;
  if (!garbled_ && ImpliedRequestLength(bytes_) == 0) frame = Frame{bytes_, lastUs_};
  bytes_.clear();
  garbled_ = false;
  return frame;
}

std::optional<FrameAssembler::Frame> FrameAssembler::Feed(uint8_t byte, uint64_t atUs) {
  lastUs_ = atUs;
  if (garbled_) return std::nullopt;  // the rest of a garbled frame is noise until the silence
  if (bytes_.size() >= kMaxFrame) {
    garbled_ = true;
    bytes_.clear();
    return std::nullopt;
  }
  bytes_.push_back(byte);
  const size_t length = ImpliedRequestLength(bytes_);
  if (length == 0 || bytes_.size() < length) return std::nullopt;
  Frame frame{std::move(bytes_), atUs};
  bytes_.clear();
  return frame;
}

void FrameAssembler::Garble(uint64_t atUs) {
  bytes_.clear();
  garbled_ = true;
  lastUs_ = atUs;
}

std::optional<uint64_t> FrameAssembler::SilenceDeadlineUs() const {
  if (bytes_.empty() && !garbled_) return std::nullopt;
  return lastUs_ + silenceUs_;
}

}  // namespace kt::sim
