// A pseudo-terminal standing in for a device: the line under test opens the slave, the test
// plays the far end on the master.
#pragma once

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/UniqueFd.h"

namespace kt::serial::testing {

class PtyPeer {
 public:
  // With kKeepSlaveOpen the test holds a slave descriptor of its own, so that the line stays up
  // (and its termios readable) while the line under test opens and closes the slave.
  enum SlaveEnd { kCloseSlave, kKeepSlaveOpen };

  explicit PtyPeer(SlaveEnd slaveEnd = kCloseSlave) {
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
      ADD_FAILURE() << "openpty: " << std::strerror(errno);
      return;
    }
    master_.reset(master);
    if (slaveEnd == kKeepSlaveOpen) {
      slave_.reset(slave);
    } else {
      ::close(slave);  // the line under test opens its own
    }
    path_ = name;
  }

  const std::string& Path() const { return path_; }
  // The far end goes away, as when an adapter is pulled: the slave hangs up.
  void Close() { master_.reset(); }
  void Send(const std::vector<uint8_t>& bytes) {
    EXPECT_EQ(::write(master_.get(), bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }
  // What reached the far end within `waitMs` (a bound against hanging, not a timing test).
  std::vector<uint8_t> Received(int waitMs = 2000) {
    std::vector<uint8_t> bytes(4096);
    pollfd p{master_.get(), POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0) return {};
    const ssize_t n = ::read(master_.get(), bytes.data(), bytes.size());
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
  }

  // Reads from the master until `n` bytes came or a bound (against hanging) passed.
  std::vector<uint8_t> ReadUntil(size_t n) {
    std::vector<uint8_t> got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (got.size() < n && std::chrono::steady_clock::now() < end) {
      pollfd p{master_.get(), POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      uint8_t chunk[512];
      const ssize_t r = ::read(master_.get(), chunk, std::min(sizeof chunk, n - got.size()));
      if (r > 0) got.insert(got.end(), chunk, chunk + r);
    }
    return got;
  }

  // The terminal settings the line under test gave the slave (kKeepSlaveOpen only).
  termios SlaveTermios() const {
    termios t{};
    EXPECT_EQ(tcgetattr(slave_.get(), &t), 0) << std::strerror(errno);
    return t;
  }

  // Bytes the line sent that nobody has read yet, after letting the line settle briefly.
  int UnreadAtMaster() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int n = 0;
    ::ioctl(master_.get(), FIONREAD, &n);
    return n;
  }

 private:
  kt::platform::UniqueFd master_;
  kt::platform::UniqueFd slave_;
  std::string path_;
};

}  // namespace kt::serial::testing
