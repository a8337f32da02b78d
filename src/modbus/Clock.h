// The clock seam: the millisecond tick counter and a way to let time pass.
#pragma once

#include <chrono>
#include <cstdint>

namespace kt::modbus {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some start, wrapping at 2^32; compare ticks only by unsigned difference.
  virtual uint32_t GetTickCount() = 0;
  // Lets about `ms` milliseconds pass without processing any window message.
  virtual void Sleep(uint32_t ms) = 0;
};

// The real clock: a steady clock and real sleeps.
class SteadyClock : public Clock {
 public:
  SteadyClock();
  uint32_t GetTickCount() override;
  void Sleep(uint32_t ms) override;

 private:
  std::chrono::steady_clock::time_point start_;
};

// A clock that moves only when told to, for tests and the in-process simulated line.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(uint32_t startTick = 0) : tick_(startTick) {}
  uint32_t GetTickCount() override { return tick_; }
  void Sleep(uint32_t ms) override { Advance(ms); }

  void Advance(uint32_t ms) {
    tick_ += ms;
    elapsedMs_ += ms;
  }
  // Milliseconds advanced since construction; never wraps.
  uint64_t ElapsedMs() const { return elapsedMs_; }

 private:
  uint32_t tick_;
  uint64_t elapsedMs_ = 0;
};

}  // namespace kt::modbus
