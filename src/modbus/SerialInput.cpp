// The two patterns of reading the serial input.
#include "modbus/SerialInput.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kt::modbus {

int16_t TakeReceivedBytes(serial::SerialControl& comm, ReceiveBuffer& buffer) {
  const int16_t waiting = comm.GetInBufferCount();
  const std::vector<uint8_t> input = comm.GetInput();
  const size_t n =
      std::min({static_cast<size_t>(std::max<int16_t>(waiting, 0)), input.size(), buffer.size()});
  if (n > 0) std::memcpy(buffer.data(), input.data(), n);
  return static_cast<int16_t>(n);
}

void DiscardPendingInput(serial::SerialControl& comm) {
  (void)comm.GetInput();
}

}  // namespace kt::modbus
