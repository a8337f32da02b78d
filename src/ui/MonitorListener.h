// What the main dialog reports, as it happens, to whoever observes it (traffic log, recording,
// trends, wiring check, link status). Observers only watch: nothing they do changes a handler.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include "measure/MeasuredBlock.h"
#include "modbus/ReplyCheck.h"

namespace kt::ui {

// Which path took a read.
enum class ReadSource { PollTick, Command, Probe };

// One read of the serial input with what the reply search found in it.
struct ReadTaken {
  ReadSource source = ReadSource::PollTick;
  std::span<const uint8_t> bytes;  // the bytes this read brought, valid during the call
  uint8_t address = 0;             // the reply looked for: address, function, length
  uint8_t function = 0;
  int length = 0;
  modbus::ReplyVerdict verdict;
};

class MonitorListener {
 public:
  MonitorListener() = default;
  MonitorListener(const MonitorListener&) = delete;
  MonitorListener& operator=(const MonitorListener&) = delete;
  MonitorListener(MonitorListener&&) = delete;
  MonitorListener& operator=(MonitorListener&&) = delete;
  virtual ~MonitorListener() = default;

  // A frame handed to SendFrame (shown in the send echo; transmitted when the port is open).
  virtual void OnFrameSent(std::span<const uint8_t> frame) { (void)frame; }
  // A read taken by a poll tick, a command's exchange or a probe.
  virtual void OnReadTaken(const ReadTaken& read) { (void)read; }
  // Pending input thrown away; `bytes` is what was dropped (may be empty).
  virtual void OnInputDiscarded(std::span<const uint8_t> bytes) { (void)bytes; }
  // A measurement block decoded, in base units.
  virtual void OnBlockDecoded(const measure::MeasuredBlock& block) { (void)block; }
};

}  // namespace kt::ui
