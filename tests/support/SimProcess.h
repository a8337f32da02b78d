// Test helpers: kt7340-sim as a child process, and a raw master on its pseudo-terminal.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Frames.h"

namespace kt::sim::testing {

// Starts kt7340-sim with the arguments; the first line of its output is the device path. The
// child dies with the test process and is stopped (SIGTERM, then SIGKILL) on destruction.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& path() const { return path_; }
  bool running() const { return pid_ > 0; }
  // For signals that pause and resume it (a meter that falls silent).
  pid_t pid() const { return pid_; }
  // Lines logged so far (after the path), read without blocking.
  const std::vector<std::string>& Lines();
  // Waits up to `timeoutMs` for a new line starting with `text` after the first `from` lines.
  std::optional<std::string> WaitForLine(const std::string& text, size_t from, int timeoutMs);
  // Sends SIGTERM and waits up to `timeoutMs` for the exit; returns the exit status or -1.
  int Terminate(int timeoutMs);

 private:
  void ReadAvailable(int timeoutMs);

  pid_t pid_ = -1;
  int out_ = -1;
  std::string pendingText_;
  std::vector<std::string> lines_;
  std::string path_;
};

// A master that writes and reads raw bytes on the terminal at the given settings.
class RawPort {
 public:
  RawPort(const std::string& path, int baud, char parity);
  ~RawPort();
  bool ok() const { return fd_ >= 0; }
  void Write(const std::vector<uint8_t>& bytes);
  // Everything that arrives within `ms`; each read's bytes with its time (ms since the call).
  struct Chunk {
    int atMs;
    std::vector<uint8_t> bytes;
  };
  std::vector<Chunk> Collect(int ms);
  std::vector<uint8_t> CollectBytes(int ms);

 private:
  int fd_ = -1;
};

using kt::testing::WithCrc;

}  // namespace kt::sim::testing
