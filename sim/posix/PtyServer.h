// Serves the simulated meter on a pseudo-terminal or a serial device, in one poll() loop.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/UniqueFd.h"
#include "sim/MeterBus.h"
#include "sim/SimOptions.h"

namespace kt::sim {

class PtyServer {
 public:
  explicit PtyServer(const SimOptions& options);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;
  PtyServer(PtyServer&&) = delete;
  PtyServer& operator=(PtyServer&&) = delete;

  // Opens the pseudo-terminal (or the device) and makes the link; a message on failure.
  std::optional<std::string> Open();
  // The path the monitor opens.
  const std::string& path() const { return path_; }
  // Serves until a signal arrives on `signalFd` (a signalfd for SIGINT and SIGTERM). Logs to
  // `log` unless quiet. Returns the exit status.
  int Serve(int signalFd, std::FILE* log);

 private:
  uint64_t NowUs() const;
  // The line settings the master has set on the terminal, read through our own slave-side fd.
  LineSettings MasterSettings() const;
  std::optional<std::string> ApplyLine(int fd, LineSettings line);
  void WritePending();
  void ReadRequests();
  // One turn of the loop, step by step: the meter's bytes due by `now` go out ...
  void SendDueBytes(uint64_t now);
  // ... a device follows a line change the meter acknowledged ...
  void FollowLineChange();
  // ... the log is written ...
  void FlushLog(std::FILE* log);
  // ... and the loop waits until the next reply byte is due (-1: nothing is).
  int PollTimeoutMs(uint64_t now, bool hungUp) const;

  SimOptions options_;
  MeterBus port_;
  platform::UniqueFd fd_;      // the pty master, or the device
  platform::UniqueFd keepFd_;  // the pty slave, held open so a closing master does not hang up
  std::string path_;
  bool linked_ = false;
  LineSettings appliedLine_;  // device mode: the settings the device runs at
  std::vector<uint8_t> pending_;
  // The master's bytes as they come off the wire: a pseudo-terminal hands over a whole write at
  // once, a line one character time after another.
  std::deque<TimedByte> inbound_;
  uint64_t inboundFreeUs_ = 0;
  uint64_t startNs_ = 0;
};

}  // namespace kt::sim
