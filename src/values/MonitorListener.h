// What the main dialog reports, as it happens, to whoever observes it (traffic log, recording,
// trends, wiring check, link status). Observers only watch: nothing they do changes a handler.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "modbus/ReplyCheck.h"
#include "values/MeasuredBlock.h"

namespace kt::values {

// Which path took a read.
enum class ReadSource { PollTick, Command, Probe };

// One read of the serial input with what the reply search found in it.
struct ReadTaken {
  ReadSource source = ReadSource::PollTick;
  std::span<const uint8_t> bytes;  // the bytes this read brought, valid during the call
  uint8_t address = 0;             // the reply looked for: address, function, length
  uint8_t function = 0;
  int length = 0;
  // A request that expects a reply went out since the previous read: an empty read is then a
  // reply missed. Otherwise (the first tick after "运行", after a command or a broadcast, while
  // the port is closed) nothing was asked and nothing is missing.
  bool awaited = false;
  modbus::ReplyVerdict verdict;
};

// What happened to the port itself.
enum class PortEventKind {
  NotOpen,   // a refused open; `detail` says why (SerialErrorText)
  Opened,    // a port that was not open opened; `detail` names the device
  Lost,      // the device went away; `detail` names it
  Reopened,  // a lost port came back; `detail` names the device
  Stalled,   // the device took no output; `detail` says why
  Closed,    // a command closed the open port to open it again (other settings, another port);
             // `detail` names the device closed
};

struct PortEvent {
  PortEventKind kind = PortEventKind::NotOpen;
  std::string detail;
};

class MonitorListener {
 public:
  MonitorListener() = default;
  MonitorListener(const MonitorListener&) = delete;
  MonitorListener& operator=(const MonitorListener&) = delete;
  MonitorListener(MonitorListener&&) = delete;
  MonitorListener& operator=(MonitorListener&&) = delete;
  virtual ~MonitorListener() = default;

  // A frame the port took. A frame SendFrame only echoed (the port closed or lost) or the port
  // refused is not reported; the refusal comes as a port event.
  virtual void OnFrameSent(std::span<const uint8_t> frame) { (void)frame; }
  // A read taken by a poll tick, a command's exchange or a probe.
  virtual void OnReadTaken(const ReadTaken& read) { (void)read; }
  // Pending input thrown away; `bytes` is what was dropped (may be empty). A good reply to the
  // latest poll request that no read took yet comes as OnReadTaken (PollTick, awaited) instead.
  virtual void OnInputDiscarded(std::span<const uint8_t> bytes) { (void)bytes; }
  // The port was refused, opened, lost, opened again, stalled or closed by a command; each once,
  // when it happens.
  virtual void OnPortEvent(const PortEvent& event) { (void)event; }
  // A measurement block decoded, in base units.
  virtual void OnBlockDecoded(const values::MeasuredBlock& block) { (void)block; }
};

}  // namespace kt::values
