// The typed error raised when the serial layer refuses a port, its settings or a transfer.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kt::serial {

enum class SerialErrorKind {
  BadPortNumber,     // a port number below 1, or one that does not fit 16 bits (value: the number)
  NoSuchPort,        // the device does not exist (or, for a port number, the list has no such port)
  AccessDenied,      // the user may not open the device
  PortInUse,         // another program holds the device
  NotSerialDevice,   // the device exists but is no terminal
  BadSettings,       // the settings text is not one we accept, or the device refused it
  Rs485Unsupported,  // the driver refused the kernel's RS-485 mode; the port stays closed
  Rs485ByDriver,     // RS-485 mode asked where the adapter's driver switches the direction
                     // itself (Windows); the port stays closed
  BadAddress,        // a tcp:// name that is no address this program connects to
  OpenFailed,        // any other reason the device could not be opened or connected
  NotOpen,           // output asked of a port that is not open
  IoError,           // a read or write on an open port failed
  Disconnected,      // the device or the connection went away; the line has closed itself
  OutputStalled,     // the device took no output within the write bound; the port stays open
};

// What the serial layer was doing when it refused.
enum class SerialOperation {
  SelectPort,  // turning a port number into a device
  Open,        // opening the device
  Connect,     // connecting to a device server
  Settings,    // checking or applying the line settings
  Count,       // counting received bytes
  Read,        // taking received bytes
  Discard,     // emptying the receive queue
  Write,       // sending
};

// The facts of a refusal, as data; SerialErrorText turns them into the user's words.
struct SerialFault {
  SerialErrorKind kind = SerialErrorKind::IoError;
  SerialOperation operation = SerialOperation::Open;
  std::string device{};  // device path, tcp:// name or "COM<N>"; may be empty
  int systemError = 0;   // the operating system's error number, 0 when none
  int64_t value = 0;     // port number; bytes sent; the port count of the list
  int64_t total = 0;     // bytes of the frame; the milliseconds waited
  std::string detail{};  // developer's note (the refused settings text, a variable name)
};

class SerialError : public std::runtime_error {
 public:
  explicit SerialError(SerialFault fault);
  // A refusal with a free-form note only (simulated lines, tests); the note is not shown.
  SerialError(SerialErrorKind kind, std::string device, std::string reason);

  SerialErrorKind kind() const { return fault_.kind; }
  SerialOperation operation() const { return fault_.operation; }
  // The device involved (may be empty when no device was chosen yet).
  const std::string& device() const { return fault_.device; }
  int systemError() const { return fault_.systemError; }
  const SerialFault& fault() const { return fault_; }
  // The developer's note (English, for logs and tests), never shown to the user.
  const std::string& reason() const { return fault_.detail; }

 private:
  SerialFault fault_;
};

}  // namespace kt::serial
