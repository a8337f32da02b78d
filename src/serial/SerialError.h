// The typed error raised when the serial layer refuses a port, its settings or a transfer.
#pragma once

#include <stdexcept>
#include <string>

namespace kt::serial {

enum class SerialErrorKind {
  BadPortNumber,     // a port number below 1, or one that does not fit 16 bits (device: the number)
  NoSuchPort,        // the device does not exist
  AccessDenied,      // the user may not open the device
  PortInUse,         // another program holds the device
  NotSerialDevice,   // the device exists but is no terminal
  BadSettings,       // the settings text is not one we accept, or the device refused it
  Rs485Unsupported,  // the driver refused the kernel's RS-485 mode; the port stays closed
  OpenFailed,        // any other reason the device could not be opened
  IoError,           // a read or write on an open port failed
  Disconnected,      // the device or the connection went away; the line has closed itself
  OutputStalled,     // the device took no output within the write bound; the port stays open
};

class SerialError : public std::runtime_error {
 public:
  SerialError(SerialErrorKind kind, std::string device, std::string reason);

  SerialErrorKind kind() const { return kind_; }
  // The device path involved (may be empty when no device was chosen yet).
  const std::string& device() const { return device_; }
  // The operating system's reason, or our own for a refused settings text.
  const std::string& reason() const { return reason_; }

 private:
  SerialErrorKind kind_;
  std::string device_;
  std::string reason_;
};

}  // namespace kt::serial
