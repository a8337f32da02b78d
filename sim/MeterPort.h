// The meter's end of the line in time: frames what arrives, and schedules every reply byte at the
// moment it is fully on the wire (response delay, faults, 11 bits a byte at the meter's baud).
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim/Faults.h"
#include "sim/FrameAssembler.h"
#include "sim/LineTiming.h"
#include "sim/Meter.h"
#include "sim/RtuSlave.h"

namespace kt::sim {

// A reply byte and the moment its last bit has left the meter, with the settings it was sent at.
struct TimedByte {
  uint64_t atUs = 0;
  uint8_t byte = 0;
  LineSettings settings{};
  bool fromLine = false;  // the line's own echo or another master, not a meter
};

class MeterPort {
 public:
  explicit MeterPort(const MeterConfig& config);

  Meter& meter() { return meter_; }
  const Meter& meter() const { return meter_; }

  // Without wire timing each burst goes out whole at its start (for a device that paces the bytes
  // itself, or a soak that measures the simulator and not the line).
  void SetWireTiming(bool on) { wireTiming_ = on; }
  // Log lines (requests and replies in hex, notes) are kept only when asked for.
  void SetLogging(bool on) { logging_ = on; }
  std::vector<std::string> TakeLog();

  // A byte fully received at `atUs`, sent by a master at `sender`. Calls in time order.
  void Receive(uint8_t byte, uint64_t atUs, LineSettings sender);
  // Lets the meter act on everything due by `nowUs`: frames ended by silence, line changes.
  void AdvanceTo(uint64_t nowUs);
  // Removes and returns the reply bytes that are on the wire by `nowUs`.
  std::vector<TimedByte> TakeSent(uint64_t nowUs);
  // The next moment at which AdvanceTo or TakeSent would have something to do.
  std::optional<uint64_t> NextEventUs() const;
  // True while a reply is waiting or going out; requests meanwhile are ignored (half duplex).
  bool Busy() const { return !outgoing_.empty() || lineChangeAtUs_.has_value(); }
  // Whether the meter's receiver makes sense of a master at `sender` settings.
  bool Understands(LineSettings sender) const;

 private:
  void HandleFrame(const FrameAssembler::Frame& frame);
  void Log(uint64_t atUs, const std::string& text);

  Meter meter_;
  RtuSlave slave_;
  FaultInjector faults_;
  FrameAssembler assembler_;
  std::deque<TimedByte> outgoing_;
  std::optional<uint64_t> lineChangeAtUs_;
  bool wireTiming_ = true;
  bool logging_ = false;
  bool delayFromRequestEnd_;
  bool anyParity_;
  LineSettings replyLine_;  // the settings the reply goes out at: the meter's, or the master's
  std::vector<std::string> log_;
};

// "01 03 00 2D" style hex of a byte run.
std::string HexBytes(const std::vector<uint8_t>& bytes);

}  // namespace kt::sim
