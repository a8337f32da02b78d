// The steady clock behind the tick counter.
#include "modbus/Clock.h"

#include <thread>

namespace kt::modbus {

SteadyClock::SteadyClock() : start_(std::chrono::steady_clock::now()) {}

uint32_t SteadyClock::GetTickCount() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start_)
                      .count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void SteadyClock::Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace kt::modbus
