// Every simulated meter on one line: they hear each request together and answer at their own
// addresses, all at the same line settings. A master at other settings is not understood; with
// mismatch garbage on, it hears back what its UART makes of a reply at the meters' settings.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim/MeterPort.h"
#include "sim/Prng.h"

namespace kt::sim {

class MeterBus {
 public:
  // `meters`: at least one; the first one's line settings and response delay are the line's.
  MeterBus(const std::vector<MeterConfig>& meters, bool mismatchGarbage, uint32_t seed);

  // The first meter: the one whose settings the line follows.
  Meter& meter() { return ports_.front().meter(); }
  const Meter& meter() const { return ports_.front().meter(); }
  size_t size() const { return ports_.size(); }

  void SetWireTiming(bool on);
  // The line gives the master back each byte it sends, as the byte passes.
  void SetEcho(bool on) { echo_ = on; }
  // false: no meter hears the master (nor answers), as on a line with nothing attached.
  void SetMetersAttached(bool attached) { attached_ = attached; }
  void SetLogging(bool on);
  std::vector<std::string> TakeLog();

  void Receive(uint8_t byte, uint64_t atUs, LineSettings sender);
  void AdvanceTo(uint64_t nowUs);
  // The bytes of every meter (and the garbage) on the wire by `nowUs`, in wire order.
  std::vector<TimedByte> TakeSent(uint64_t nowUs);
  std::optional<uint64_t> NextEventUs() const;

 private:
  // Schedules the garbage for a request heard at `sender` settings once its silence has passed.
  void ScheduleGarbage(uint64_t nowUs);

  std::deque<MeterPort> ports_;
  bool mismatchGarbage_;
  Prng garbage_;
  bool wireTiming_ = true;
  // A request at other settings: when its last byte came, how many, and at which settings.
  std::optional<uint64_t> mismatchEndUs_;
  size_t mismatchBytes_ = 0;
  LineSettings mismatchSender_{};
  std::deque<TimedByte> garbageOut_;
  std::deque<TimedByte> echoOut_;
  bool echo_ = false;
  bool attached_ = true;
};

// How many bytes a UART at `receiverBaud` makes of `bytes` characters sent at `senderBaud`:
// proportionally more when it samples faster, fewer when slower, at least one.
size_t GarbledByteCount(size_t bytes, int32_t senderBaud, int32_t receiverBaud);

}  // namespace kt::sim
