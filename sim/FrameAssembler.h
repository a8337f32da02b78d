// Cuts requests out of the received byte stream by the length the function implies and by the
// inter-frame silence (3.5 character times).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kt::sim {

// Length a request with these first bytes must have, or 0 while it cannot be told yet (or never
// can: a function we do not know ends only with the silence).
size_t ImpliedRequestLength(const std::vector<uint8_t>& head);

class FrameAssembler {
 public:
  // A frame found: its bytes and the moment its last byte arrived.
  struct Frame {
    std::vector<uint8_t> bytes;
    uint64_t endUs;
  };

  explicit FrameAssembler(uint64_t silenceUs) : silenceUs_(silenceUs) {}
  void SetSilenceUs(uint64_t silenceUs) { silenceUs_ = silenceUs; }

  // Ends what was gathered if the silence has passed by `nowUs`: a frame of unknown length is
  // returned, a frame cut short is dropped. Call before each Feed and whenever time moves on.
  std::optional<Frame> CloseOnSilence(uint64_t nowUs);
  // Adds a byte (arrivals in time order); returns the frame its implied length completes.
  std::optional<Frame> Feed(uint8_t byte, uint64_t atUs);
  // A byte the meter could not make out (wrong line settings): whatever was gathered is lost.
  void Garble(uint64_t atUs);

  // When CloseOnSilence will next have something to do, if anything is gathered.
  std::optional<uint64_t> SilenceDeadlineUs() const;

 private:
  static constexpr size_t kMaxFrame = 256;
  uint64_t silenceUs_;
  std::vector<uint8_t> bytes_;
  uint64_t lastUs_ = 0;
  bool garbled_ = false;
};

}  // namespace kt::sim
