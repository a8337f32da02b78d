// Dispatching a port number to a termios device or a TCP device server.
#include "serial/SerialLine.h"

#include "serial/LineSettings.h"
#include "serial/PortName.h"
#include "serial/PosixSerialPort.h"
#include "serial/SerialError.h"
#include "serial/TcpAddress.h"
#include "serial/TcpLine.h"

namespace kt::serial {

SerialLine::SerialLine() = default;
SerialLine::~SerialLine() = default;

void SerialLine::SetCommPort(int16_t port) {
  if (port < 1) {
    throw SerialError(SerialErrorKind::BadPortNumber, "",
                      "port number " + std::to_string(port) + " is below 1");
  }
  port_ = port;
}

void SerialLine::SetSettings(const std::string& settings) {
  if (GetPortOpen()) {
    line_->SetSettings(settings);
  } else {
    (void)ParseLineSettings(settings, "");
  }
  settings_ = settings;
}

void SerialLine::SetPortOpen(bool open) {
  if (!open) {
    if (line_) line_->SetPortOpen(false);
    return;
  }
  if (GetPortOpen()) return;
  std::unique_ptr<SerialControl> line = OpenLine();
  line->SetCommPort(port_);
  line->SetSettings(settings_);
  line->SetInputLen(inputLen_);
  line->SetPortOpen(true);
  line_ = std::move(line);
}

bool SerialLine::GetPortOpen() const {
  return line_ && line_->GetPortOpen();
}

void SerialLine::SetInputLen(int16_t length) {
  inputLen_ = length;
  if (line_) line_->SetInputLen(length);
}

void SerialLine::SetInBufferCount(int16_t count) {
  if (GetPortOpen()) line_->SetInBufferCount(count);
}

int16_t SerialLine::GetInBufferCount() {
  return GetPortOpen() ? line_->GetInBufferCount() : 0;
}

std::vector<uint8_t> SerialLine::GetInput() {
  return GetPortOpen() ? line_->GetInput() : std::vector<uint8_t>();
}

void SerialLine::SetOutput(const std::vector<uint8_t>& bytes) {
  if (!line_) throw SerialError(SerialErrorKind::IoError, "", "the port is not open");
  line_->SetOutput(bytes);  // a closed line refuses with its own device name
}

std::unique_ptr<SerialControl> SerialLine::OpenLine() const {
  const std::string name = DevicePathForPort(port_);
  if (!IsTcpAddress(name)) return std::make_unique<PosixSerialPort>();
  const std::string rest = name.substr(std::string(kTcpScheme).size());
  const auto address = SplitHostPort(rest);
  if (!address) {
    throw SerialError(SerialErrorKind::NoSuchPort, name,
                      PortEnvironmentVariable(port_) + " 应为 tcp://主机:端口，而不是 " + name);
  }
  return std::make_unique<TcpLine>(*address);
}

}  // namespace kt::serial
