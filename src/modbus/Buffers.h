// The two fixed buffers every exchange with the meter goes through.
#pragma once

#include <array>
#include <cstdint>

namespace kt::modbus {

constexpr int kRequestBufferSize = 20;    // the longest request is 17 bytes
constexpr int kReceiveBufferSize = 1200;  // one read of the serial input never takes more

using RequestBuffer = std::array<uint8_t, kRequestBufferSize>;
using ReceiveBuffer = std::array<uint8_t, kReceiveBufferSize>;

}  // namespace kt::modbus
