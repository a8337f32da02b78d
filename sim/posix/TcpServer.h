// Serves the simulated meter to one TCP client at a time, as a serial device server would.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "sim/MeterBus.h"
#include "sim/SimOptions.h"

namespace kt::sim {

class TcpServer {
 public:
  explicit TcpServer(const SimOptions& options);
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  // Listens on options.tcp (HOST:PORT; port 0 picks a free one); a message on failure.
  std::optional<std::string> Open();
  // The address it listens on, "HOST:PORT" with the actual port.
  const std::string& address() const { return address_; }
  // Serves clients one after another until a signal arrives on `signalFd`. Logs to `log`
  // unless quiet. Returns the exit status.
  int Serve(int signalFd, std::FILE* log);

 private:
  uint64_t NowUs() const;
  void Accept(std::FILE* log);
  void DropClient(std::FILE* log, const std::string& why);
  void WritePending(std::FILE* log);
  void ReadRequests(std::FILE* log);

  SimOptions options_;
  MeterBus port_;
  int listenFd_ = -1;
  int clientFd_ = -1;
  std::string address_;
  std::vector<uint8_t> pending_;
  uint64_t startNs_ = 0;
};

}  // namespace kt::sim
