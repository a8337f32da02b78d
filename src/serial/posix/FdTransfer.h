// Transfers on a non-blocking POSIX descriptor (the terminal transport; the socket uses the
// error numbers and the queue length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "serial/Transport.h"

namespace kt::serial::posix {

// The result an error number stands for when opening, and when reading or writing.
TransportResult OpenResultOf(int errnum);
TransportResult TransferResultOf(int errnum);
TransportStatus Failure(TransportResult result, int errnum, size_t bytes = 0);

// The receive queue's length (FIONREAD).
TransportStatus QueuedBytes(int fd);
// One non-blocking read of up to `into.size()` bytes.
TransportStatus ReadSome(int fd, std::span<uint8_t> into);
// Writes all bytes, polling for room until `timeoutMs` have passed in all.
TransportStatus WriteAll(int fd, std::span<const uint8_t> bytes, int timeoutMs);

}  // namespace kt::serial::posix
