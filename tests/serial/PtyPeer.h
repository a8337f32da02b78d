// A pseudo-terminal standing in for a device: the line under test opens the slave, the test
// plays the far end on the master.
#pragma once

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "serial/UniqueFd.h"

namespace kt::serial::testing {

class PtyPeer {
 public:
  PtyPeer() {
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
      ADD_FAILURE() << "openpty: " << std::strerror(errno);
      return;
    }
    master_.reset(master);
    ::close(slave);  // the line under test opens its own
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

 private:
  UniqueFd master_;
  std::string path_;
};

}  // namespace kt::serial::testing
