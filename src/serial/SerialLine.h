// The serial control the monitor uses: a serial device or a device server, chosen at each open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "serial/SerialControl.h"

namespace kt::serial {

// On open, resolves the port number (PortName.h): a tcp://HOST:PORT name opens a TcpLine, any
// other name a PosixSerialPort. The port number, settings and input length set before are
// passed on, so both behave as their own contracts say. Closed, the count is 0, the input empty
// and output throws SerialError(IoError); settings set while closed are checked at once.
class SerialLine : public SerialControl {
 public:
  SerialLine();
  ~SerialLine() override;
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  void SetCommPort(int16_t port) override;
  void SetSettings(const std::string& settings) override;
  void SetPortOpen(bool open) override;
  bool GetPortOpen() const override;
  void SetInputLen(int16_t length) override;
  void SetInBufferCount(int16_t count) override;
  int16_t GetInBufferCount() override;
  std::vector<uint8_t> GetInput() override;
  void SetOutput(const std::vector<uint8_t>& bytes) override;

 private:
  std::unique_ptr<SerialControl> OpenLine() const;

  int16_t port_ = 1;
  std::string settings_ = "9600N,8,2";
  int16_t inputLen_ = 0;
  std::unique_ptr<SerialControl> line_;  // the line of the last open
};

}  // namespace kt::serial
