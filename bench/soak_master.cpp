// Soak master: sends the monitor's poll requests to kt7340-sim over its terminal, checks each
// reply, and reports requests per second.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "modbus/FindFrame.h"
#include "modbus/RequestFrames.h"
#include "serial/posix/RawTermios.h"

namespace {

struct Poll {
  uint16_t start, count;
};
// The polling cycle's order: configuration, parameters, accuracy, then block and k for ever.
constexpr Poll kPolls[] = {{0x0300, 19}, {0x0328, 4}, {0x0322, 1}, {0x0000, 45}, {0x030A, 1}};

// Reads until a whole reply of `length` bytes is there or `timeoutMs` passes.
bool AwaitReply(int fd, int16_t length, int timeoutMs) {
  uint8_t buf[1200];
  int16_t have = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    const ssize_t n = read(fd, buf + have, sizeof buf - static_cast<size_t>(have));
    if (n > 0) have = static_cast<int16_t>(have + n);
    if (kt::modbus::FindFrame(
            std::span<const uint8_t>(buf, static_cast<size_t>(have)), kt::modbus::SlaveAddress(1),
            kt::modbus::FunctionCode(kt::modbus::kReadHoldingRegisters), length) >= 0)
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEVICE REQUESTS [BAUD]\n", argv[0]);
    return 2;
  }
  const long requests = std::strtol(argv[2], nullptr, 10);
  const int baud = argc > 3 ? std::atoi(argv[3]) : 9600;
  const int fd = open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD | CSTOPB;  // 8N2
  cfsetispeed(&t, kt::serial::TermiosSpeed(baud));
  cfsetospeed(&t, kt::serial::TermiosSpeed(baud));
  tcsetattr(fd, TCSANOW, &t);
  tcflush(fd, TCIOFLUSH);

  long answered = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long n = 0; n < requests; ++n) {
    const Poll& p = kPolls[n < 3 ? n : 3 + (n - 3) % 2];
    kt::modbus::RequestBuffer buf{};
    const int16_t len = kt::modbus::BuildReadRequest(buf, 1, p.start, p.count);
    if (write(fd, buf.data(), static_cast<size_t>(len)) != len) break;
    if (AwaitReply(fd, kt::modbus::ReadReplyLength(p.count), 1000)) ++answered;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("requests %ld answered %ld seconds %.2f requests/s %.0f\n", requests, answered,
              seconds, static_cast<double>(requests) / seconds);
  close(fd);
  return answered == requests ? 0 : 1;
}
