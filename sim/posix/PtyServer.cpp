// The simulator's line loop: requests in as they are read, reply bytes out at their times.
#include "sim/posix/PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "serial/LineSettingsTable.h"
#include "serial/posix/RawTermios.h"

namespace kt::sim {
namespace {

constexpr size_t kPendingLimit = 65536;  // nobody reading: older reply bytes are dropped
constexpr int kHungUpPauseMs = 200;      // how often a hung-up line is looked at again

int32_t BaudOf(speed_t speed) {
  const kt::serial::BaudRow* row = kt::serial::FindBaudRowBySpeed(speed);
  return row != nullptr ? row->baudRate : 0;  // 0 is understood by no meter
}
std::string Errno(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

PtyServer::PtyServer(const SimOptions& options)
    : options_(options),
      port_(MetersOf(options), options.mismatchGarbage, options.meter.seed),
      startNs_(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch() /
                                     std::chrono::nanoseconds(1))) {
  port_.SetLogging(!options.quiet);
  // A real device paces the bytes itself; a pty needs us to.
  port_.SetWireTiming(options.wireTiming && options.device.empty());
  port_.SetEcho(options.echo);
  port_.SetMetersAttached(!options.noMeter);
}

PtyServer::~PtyServer() {
  if (linked_) {
    char target[4096];
    const ssize_t n = readlink(options_.link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<size_t>(n)) == path_)
      unlink(options_.link.c_str());
  }
}

uint64_t PtyServer::NowUs() const {
  const auto ns = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch() /
                                        std::chrono::nanoseconds(1));
  return (ns - startNs_) / 1000;
}

std::optional<std::string> PtyServer::ApplyLine(int fd, LineSettings line) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return Errno("tcgetattr " + path_);
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~(PARENB | PARODD | CSTOPB);
  if (line.parity == 0) t.c_cflag |= CSTOPB;
  if (line.parity != 0) t.c_cflag |= PARENB;
  if (line.parity == 1) t.c_cflag |= PARODD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, kt::serial::TermiosSpeed(line.baud));
  cfsetospeed(&t, kt::serial::TermiosSpeed(line.baud));
  if (tcsetattr(fd, TCSANOW, &t) != 0) return Errno("tcsetattr " + path_);
  return std::nullopt;
}

std::optional<std::string> PtyServer::Open() {
  const LineSettings line = port_.meter().line();
  if (options_.device.empty()) {
    fd_.reset(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (!fd_) return Errno("posix_openpt");
    if (grantpt(fd_.get()) != 0 || unlockpt(fd_.get()) != 0) return Errno("grantpt/unlockpt");
    const char* name = ptsname(fd_.get());
    if (!name) return Errno("ptsname");
    path_ = name;
    keepFd_.reset(open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (!keepFd_) return Errno("open " + path_);
    // Raw from the start, so a master that does not set the terminal up gets no echo.
    if (auto error = ApplyLine(keepFd_.get(), line)) return error;
  } else {
    path_ = options_.device;
    fd_.reset(open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (!fd_) return Errno("open " + path_);
    if (auto error = ApplyLine(fd_.get(), line)) return error;
    appliedLine_ = line;
  }
  if (!options_.link.empty()) {
    struct stat st {};
    if (lstat(options_.link.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) return options_.link + " exists and is not a symbolic link";
      unlink(options_.link.c_str());
    }
    if (symlink(path_.c_str(), options_.link.c_str()) != 0)
      return Errno("symlink " + options_.link);
    linked_ = true;
  }
  return std::nullopt;
}

LineSettings PtyServer::MasterSettings() const {
  if (!keepFd_) return port_.meter().line();  // a real line: the hardware decides
  termios t{};
  if (tcgetattr(keepFd_.get(), &t) != 0) return {0, 0};
  // A Linux pty clears PARENB on every tcsetattr but keeps PARODD and CSTOPB; the line settings
  // tie no parity to two stop bits and odd or even parity to one, which tells them apart.
  int32_t parity = 0;
  if (t.c_cflag & PARODD) {
    parity = 1;
  } else if ((t.c_cflag & PARENB) || !(t.c_cflag & CSTOPB)) {
    parity = 2;
  }
  return {BaudOf(cfgetospeed(&t)), parity};
}

void PtyServer::WritePending() {
  while (!pending_.empty()) {
    const ssize_t n = write(fd_.get(), pending_.data(), pending_.size());
    if (n <= 0) break;  // EAGAIN: the terminal's buffer is full; poll tells us when to go on
    pending_.erase(pending_.begin(), pending_.begin() + n);
  }
  if (pending_.size() > kPendingLimit) {
    pending_.erase(pending_.begin(), pending_.end() - static_cast<long>(kPendingLimit));
  }
}

void PtyServer::ReadRequests() {
  uint8_t buf[512];
  for (;;) {
    const ssize_t n = read(fd_.get(), buf, sizeof buf);
    if (n <= 0) return;
    const uint64_t now = NowUs();
    const LineSettings sender = MasterSettings();
    const bool paced = options_.wireTiming && keepFd_ && sender.baud > 0;
    for (ssize_t i = 0; i < n; ++i) {
      const uint64_t at =
          paced ? std::max(now, inboundFreeUs_) + TransmissionUs(1, sender.baud) : now;
      inboundFreeUs_ = at;
      inbound_.push_back({at, buf[i], sender, false});
    }
  }
}

void PtyServer::SendDueBytes(uint64_t now) {
  while (!inbound_.empty() && inbound_.front().atUs <= now) {
    port_.Receive(inbound_.front().byte, inbound_.front().atUs, inbound_.front().settings);
    inbound_.pop_front();
  }
  port_.AdvanceTo(now);
  for (const TimedByte& b : port_.TakeSent(now)) pending_.push_back(b.byte);
  WritePending();
}

void PtyServer::FollowLineChange() {
  if (keepFd_ || !pending_.empty() || port_.meter().line() == appliedLine_) return;
  // On a device the acknowledgement must be out at the old settings before they change.
  tcdrain(fd_.get());
  appliedLine_ = port_.meter().line();
  if (auto error = ApplyLine(fd_.get(), appliedLine_)) std::fprintf(stderr, "%s\n", error->c_str());
}

void PtyServer::FlushLog(std::FILE* log) {
  for (const std::string& line : port_.TakeLog()) std::fprintf(log, "%s\n", line.c_str());
  std::fflush(log);
}

int PtyServer::PollTimeoutMs(uint64_t now, bool hungUp) const {
  int timeoutMs = -1;
  std::optional<uint64_t> next = port_.NextEventUs();
  if (!inbound_.empty() && (!next || inbound_.front().atUs < *next)) next = inbound_.front().atUs;
  if (next) {
    timeoutMs =
        *next <= now ? 0 : static_cast<int>(std::min<uint64_t>((*next - now + 999) / 1000, 60000));
  }
  // While the line is hung up, poll would report it at once; look again only after a pause.
  if (hungUp) timeoutMs = timeoutMs < 0 ? kHungUpPauseMs : std::min(timeoutMs, kHungUpPauseMs);
  return timeoutMs;
}

int PtyServer::Serve(int signalFd, std::FILE* log) {
  bool hungUp = false;
  for (;;) {
    const uint64_t now = NowUs();
    SendDueBytes(now);
    FollowLineChange();
    FlushLog(log);

    const int timeoutMs = PollTimeoutMs(now, hungUp);
    const auto lineEvents = static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT));
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {fd_.get(), lineEvents, 0}};
    const nfds_t count = hungUp ? 1 : 2;
    hungUp = false;
    if (poll(fds, count, timeoutMs) < 0 && errno != EINTR) {
      std::fprintf(stderr, "%s\n", Errno("poll").c_str());
      return 1;
    }
    if (fds[0].revents & POLLIN) return 0;
    if (count == 2) {
      if (fds[1].revents & POLLIN) ReadRequests();
      // A hung-up line also reports POLLIN (its read gives EIO), so that alone must not count
      // as input, or the loop spins.
      hungUp = (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
  }
}

}  // namespace kt::sim
