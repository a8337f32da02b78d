// The serial control on termios: exclusive open, raw line settings, non-blocking reads and writes.
#include "serial/PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "serial/PortName.h"
#include "serial/RawTermios.h"
#include "serial/Rs485Mode.h"
#include "serial/SerialError.h"

namespace kt::serial {
namespace {

constexpr int kMaxInBufferCount = 32767;

std::string Reason(int errnum) {
  return std::strerror(errnum);
}

SerialErrorKind KindOfOpenError(int errnum) {
  switch (errnum) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return SerialErrorKind::NoSuchPort;
    case EACCES:
    case EPERM:
      return SerialErrorKind::AccessDenied;
    case EBUSY:
      return SerialErrorKind::PortInUse;
    default:
      return SerialErrorKind::OpenFailed;
  }
}

// Errors that mean the device itself went away (an adapter pulled, the far end of a pty gone).
bool DeviceGone(int errnum) {
  return errnum == EIO || errnum == ENXIO || errnum == ENODEV;
}

// Milliseconds the line needs for `bytes` characters at `settings` (start, data, parity, stop).
int TransmissionMs(size_t bytes, const LineSettings& settings) {
  const int bitsPerChar =
      1 + settings.dataBits + (settings.parity != Parity::None ? 1 : 0) + settings.stopBits;
  const long long bits = static_cast<long long>(bytes) * bitsPerChar;
  const long long baud = std::max(settings.baudRate, 1);
  return static_cast<int>(std::min<long long>((bits * 1000 + baud - 1) / baud, 1 << 30));
}

}  // namespace

PosixSerialPort::PosixSerialPort(int writeStallTimeoutMs)
    : writeStallTimeoutMs_(writeStallTimeoutMs) {}

PosixSerialPort::~PosixSerialPort() {
  Close();
}

void PosixSerialPort::SetCommPort(int16_t port) {
  (void)DevicePathForPort(port);  // refuses a number below 1 now, not at the next open
  port_ = port;
}

void PosixSerialPort::SetSettings(const std::string& settings) {
  const LineSettings parsed = ParseLineSettings(settings, CurrentDevice());
  if (GetPortOpen()) ApplySettings(parsed);
  settings_ = parsed;
}

void PosixSerialPort::SetPortOpen(bool open) {
  if (open && !GetPortOpen()) Open();
  if (!open) Close();
}

void PosixSerialPort::SetInputLen(int16_t length) {
  inputLen_ = std::max<int16_t>(length, 0);
}

void PosixSerialPort::SetInBufferCount(int16_t count) {
  if (count == 0 && GetPortOpen()) tcflush(fd_.get(), TCIFLUSH);
}

int16_t PosixSerialPort::GetInBufferCount() {
  if (!GetPortOpen()) return 0;
  return static_cast<int16_t>(std::min(WaitingBytes(), kMaxInBufferCount));
}

std::vector<uint8_t> PosixSerialPort::GetInput() {
  if (!GetPortOpen()) return {};
  int wanted = WaitingBytes();
  if (inputLen_ > 0) wanted = std::min<int>(wanted, inputLen_);

  std::vector<uint8_t> input(static_cast<size_t>(wanted));
  size_t got = 0;
  while (got < input.size()) {
    const ssize_t r = ::read(fd_.get(), input.data() + got, input.size() - got);
    if (r > 0) {
      got += static_cast<size_t>(r);
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      break;
    } else {
      FailTransfer(errno, "read failed: ");
    }
  }
  input.resize(got);
  return input;
}

void PosixSerialPort::SetOutput(const std::vector<uint8_t>& bytes) {
  if (!GetPortOpen()) {
    throw SerialError(SerialErrorKind::IoError, CurrentDevice(), "the port is not open");
  }
  const auto progress = [&](size_t sent) {
    return std::to_string(sent) + " of " + std::to_string(bytes.size()) + " bytes written";
  };
  // A device that takes the frame takes it within its own transmission time; a little more
  // than that, and never more than the stall limit, is all the window waits.
  const int boundMs =
      std::min(writeStallTimeoutMs_, TransmissionMs(bytes.size(), settings_) + kWriteMarginMs);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t r = ::write(fd_.get(), bytes.data() + sent, bytes.size() - sent);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      FailTransfer(errno, "write failed (" + progress(sent) + "): ");
    }
    // The output queue is full: wait for room, but never past the bound.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd_.get(), POLLOUT, 0};
    const int ready = left.count() > 0 ? ::poll(&p, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) FailTransfer(errno, "waiting to write failed (" + progress(sent) + "): ");
    if (ready == 0) {
      throw SerialError(SerialErrorKind::OutputStalled, device_,
                        "the device accepted no more output for " + std::to_string(boundMs) +
                            " ms (" + progress(sent) + ")");
    }
    if ((p.revents & POLLOUT) == 0)
      FailTransfer(EIO, "the device hung up (" + progress(sent) + "): ");
  }
}

void PosixSerialPort::FailTransfer(int errnum, const std::string& what) {
  const std::string device = device_;
  if (DeviceGone(errnum)) {
    // Nothing more can pass through this descriptor: let it go, so the device can come back.
    Close();
    throw SerialError(SerialErrorKind::Disconnected, device, what + Reason(errnum));
  }
  throw SerialError(SerialErrorKind::IoError, device, what + Reason(errnum));
}

void PosixSerialPort::Open() {
  const std::string device = DevicePathForPort(port_);
  UniqueFd opened(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!opened) {
    const int e = errno;
    throw SerialError(KindOfOpenError(e), device, Reason(e));
  }
  const int fd = opened.get();
  // Throwing closes the descriptor: `opened` still owns it.
  const auto refuse = [&](SerialErrorKind kind, const std::string& what) {
    const int e = errno;
    throw SerialError(kind, device, what + Reason(e));
  };

  termios t{};
  if (tcgetattr(fd, &t) != 0) refuse(SerialErrorKind::NotSerialDevice, "not a serial device: ");
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) refuse(SerialErrorKind::PortInUse, "held by another program: ");
    refuse(SerialErrorKind::OpenFailed, "cannot lock the device: ");
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    refuse(SerialErrorKind::OpenFailed, "cannot claim the device exclusively: ");
  }

  fd_ = std::move(opened);
  device_ = device;
  try {
    ApplySettings(settings_);
    if (Rs485Requested(environment_)) EnableRs485Mode(fd, device);
  } catch (...) {
    Close();
    throw;
  }
}

void PosixSerialPort::Close() {
  if (!fd_) return;
  ::ioctl(fd_.get(), TIOCNXCL);
  ::flock(fd_.get(), LOCK_UN);
  fd_.reset();
  device_.clear();
}

std::string PosixSerialPort::CurrentDevice() const {
  if (GetPortOpen()) return device_;
  try {
    return DevicePathForPort(port_);
  } catch (const SerialError&) {
    return "";
  }
}

void PosixSerialPort::ApplySettings(const LineSettings& settings) {
  termios t{};
  if (tcgetattr(fd_.get(), &t) != 0) {
    throw SerialError(SerialErrorKind::BadSettings, device_,
                      "cannot read the line settings: " + Reason(errno));
  }
  MakeRawTermios(t, settings);
  if (tcsetattr(fd_.get(), TCSANOW, &t) != 0) {
    throw SerialError(SerialErrorKind::BadSettings, device_,
                      "the device refused the line settings: " + Reason(errno));
  }
  // tcsetattr succeeds when any part was taken; a speed the device could not take is refused.
  // The parity bits are not checked: pseudo-terminals (the simulated meter's line) always
  // report no parity whatever was asked.
  termios applied{};
  if (tcgetattr(fd_.get(), &applied) != 0 || cfgetospeed(&applied) != cfgetospeed(&t)) {
    throw SerialError(SerialErrorKind::BadSettings, device_,
                      "the device does not support " + std::to_string(settings.baudRate) + " baud");
  }
}

int PosixSerialPort::WaitingBytes() {
  int waiting = 0;
  if (::ioctl(fd_.get(), FIONREAD, &waiting) != 0) {
    FailTransfer(errno, "cannot count the received bytes: ");
  }
  if (waiting > 0) return waiting;
  // Nothing waiting: a hung-up line (the device or the far end gone) says so only to poll.
  pollfd p{fd_.get(), POLLIN, 0};
  if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    FailTransfer(EIO, "the device hung up: ");
  }
  return 0;
}

}  // namespace kt::serial
