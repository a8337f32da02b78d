// Taking received bytes into the receive buffer, and discarding pending input.
#pragma once

#include <cstdint>
#include <vector>

#include "modbus/Buffers.h"
#include "serial/SerialControl.h"

namespace kt::modbus {

// Reads the waiting count n, then the input, and copies the first n bytes of the input into
// `buffer` from position 0. Returns the number of bytes copied: never more than the buffer
// holds (1200) nor than the input brought. Bytes past the count are dropped with the read;
// positions beyond the count keep what earlier reads left there.
int16_t TakeReceivedBytes(serial::SerialControl& comm, ReceiveBuffer& buffer);

// Reads the input and drops it: every byte received so far is gone. Returns what was dropped.
std::vector<uint8_t> DiscardPendingInput(serial::SerialControl& comm);

}  // namespace kt::modbus
