// The serial control on a TCP connection to a serial device server in transparent mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "serial/LineSettings.h"
#include "serial/SerialControl.h"
#include "serial/TcpAddress.h"

namespace kt::serial {

// The same RTU frames as on a serial line, carried unchanged over TCP. The device server runs
// the line at its own baud rate and parity, so the settings text is checked and kept only.
//
// Contract beyond SerialControl:
// - Opening connects without blocking for longer than kConnectTimeoutMs; a failure throws
//   SerialError(OpenFailed) whose reason names host, port and why ("无法连接 HOST:PORT（...）").
// - The count is the socket's FIONREAD; input is taken with recv; output is sent at once
//   (TCP_NODELAY). A send that makes no progress for kWriteStallTimeoutMs throws IoError.
// - A peer that closes or resets the connection is found by the next count, read or write:
//   the line closes itself and throws SerialError(Disconnected). Opening again reconnects.
// - Closed: the count is 0, the input empty, output throws SerialError(IoError).
class TcpLine : public SerialControl {
 public:
  static constexpr int kConnectTimeoutMs = 3000;
  static constexpr int kWriteStallTimeoutMs = 1000;

  explicit TcpLine(HostPort address);
  ~TcpLine() override;
  TcpLine(const TcpLine&) = delete;
  TcpLine& operator=(const TcpLine&) = delete;

  // The number only has to be valid (1 or more): the address says where to connect.
  void SetCommPort(int16_t port) override;
  void SetSettings(const std::string& settings) override;
  void SetPortOpen(bool open) override;
  bool GetPortOpen() const override { return fd_ >= 0; }
  void SetInputLen(int16_t length) override;
  void SetInBufferCount(int16_t count) override;
  int16_t GetInBufferCount() override;
  std::vector<uint8_t> GetInput() override;
  void SetOutput(const std::vector<uint8_t>& bytes) override;

  const LineSettings& settings() const { return settings_; }
  // "tcp://HOST:PORT", the name errors carry.
  std::string Name() const;

 private:
  void Connect();
  void Close();
  // Bytes waiting; finds a connection the peer has closed (and throws Disconnected).
  int WaitingBytes();
  [[noreturn]] void Vanished(const std::string& why);

  HostPort address_;
  LineSettings settings_;
  int16_t inputLen_ = 0;
  int fd_ = -1;
};

}  // namespace kt::serial
