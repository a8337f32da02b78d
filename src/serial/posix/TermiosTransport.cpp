// Terminal devices: exclusive open, raw line settings, non-blocking reads and writes.
#include "serial/posix/TermiosTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <utility>

#include "serial/Rs485Mode.h"
#include "serial/posix/FdTransfer.h"
#include "serial/posix/RawTermios.h"

namespace kt::serial::posix {

namespace {

// True when `applied` is `asked` in all that a raw line uses, the parity enable bit aside.
bool SameButParity(const termios& applied, const termios& asked) {
  const auto kept = static_cast<tcflag_t>(CSIZE | PARODD | CSTOPB | CLOCAL | CREAD);
  return cfgetospeed(&applied) == cfgetospeed(&asked) &&
         cfgetispeed(&applied) == cfgetispeed(&asked) &&
         (applied.c_cflag & kept) == (asked.c_cflag & kept) && applied.c_lflag == asked.c_lflag &&
         applied.c_oflag == asked.c_oflag;
}

}  // namespace

TermiosTransport::TermiosTransport(std::string path, bool rs485)
    : path_(std::move(path)), rs485_(rs485) {}

TermiosTransport::~TermiosTransport() {
  Release();
}

TransportStatus TermiosTransport::Open(const LineSettings& settings) {
  platform::UniqueFd opened(::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!opened) {
    const int e = errno;
    return Failure(OpenResultOf(e), e);
  }
  const int fd = opened.get();
  termios t{};
  if (tcgetattr(fd, &t) != 0) {
    const int e = errno;
    return Failure(TransportResult::NotATerminal, e);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int e = errno;
    return Failure(e == EWOULDBLOCK ? TransportResult::InUse : TransportResult::Failed, e);
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int e = errno;
    return Failure(OpenResultOf(e), e);
  }
  fd_ = std::move(opened);
  TransportStatus status = ApplySettings(settings);
  if (status.result == TransportResult::Done && rs485_) {
    if (const int e = EnableRs485Mode(fd); e != 0)
      status = Failure(TransportResult::Rs485Refused, e);
  }
  if (status.result != TransportResult::Done) Close();
  return status;
}

void TermiosTransport::Close() {
  Release();
}

void TermiosTransport::Release() {
  if (!fd_) return;
  ::ioctl(fd_.get(), TIOCNXCL);
  ::flock(fd_.get(), LOCK_UN);
  fd_.reset();
}

TransportStatus TermiosTransport::FinishOpening(int /*waitMs*/) {
  return {};
}

TransportStatus TermiosTransport::ApplySettings(const LineSettings& settings) {
  termios t{};
  if (tcgetattr(fd_.get(), &t) != 0) {
    const int e = errno;
    return Failure(TransportResult::SettingsRefused, e);
  }
  MakeRawTermios(t, settings);
  const int set = tcsetattr(fd_.get(), TCSANOW, &t);
  const int setError = errno;
  // tcsetattr succeeds when any part was taken; a speed the device could not take is refused.
  // The parity bits are not checked: pseudo-terminals (the simulated meter's line) always
  // report no parity whatever was asked, and when that dropped parity was all that differed
  // from the settings in force, the C library reports EINVAL although the rest is in force.
  termios applied{};
  const bool readBack = tcgetattr(fd_.get(), &applied) == 0;
  if (set != 0 && !(setError == EINVAL && readBack && SameButParity(applied, t))) {
    return Failure(TransportResult::SettingsRefused, setError);
  }
  if (!readBack || cfgetospeed(&applied) != cfgetospeed(&t)) {
    return Failure(TransportResult::SettingsRefused, 0);
  }
  return {};
}

TransportStatus TermiosTransport::BytesWaiting() {
  const TransportStatus queued = QueuedBytes(fd_.get());
  if (queued.result != TransportResult::Done || queued.bytes > 0) return queued;
  // Nothing waiting: a hung-up line (the device or the far end gone) says so only to poll.
  pollfd p{fd_.get(), POLLIN, 0};
  if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    return Failure(TransportResult::DeviceGone, EIO);
  }
  return queued;
}

TransportStatus TermiosTransport::Read(std::span<uint8_t> into) {
  return ReadSome(fd_.get(), into);
}

TransportStatus TermiosTransport::Discard(size_t /*limit*/) {
  // The driver drops its whole queue at once without copying a byte: no bound needed.
  if (tcflush(fd_.get(), TCIFLUSH) != 0) {
    const int e = errno;
    return Failure(TransferResultOf(e), e);
  }
  return {};
}

TransportStatus TermiosTransport::Write(std::span<const uint8_t> bytes, int timeoutMs) {
  return WriteAll(fd_.get(), bytes, timeoutMs);
}

}  // namespace kt::serial::posix
