// Transfers on a non-blocking POSIX descriptor, shared by the terminal and the socket transport.
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
// One non-blocking read or recv of up to `into.size()` bytes; a socket's 0 is EndOfInput.
TransportStatus ReadSome(int fd, std::span<uint8_t> into, bool socket);
// Writes all bytes, polling for room until `timeoutMs` have passed in all.
TransportStatus WriteAll(int fd, std::span<const uint8_t> bytes, int timeoutMs, bool socket);

}  // namespace kt::serial::posix
