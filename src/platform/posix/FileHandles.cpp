// Output files with open(2), write(2) and close(2).
#include <fcntl.h>
#include <unistd.h>

#include "platform/FileOutput.h"

namespace kt::platform {

OutputFile::OutputFile(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool WriteAll(int fd, std::string_view text) {
  return WriteInPieces(text, [fd](std::string_view piece) -> int64_t {
    return ::write(fd, piece.data(), piece.size());
  });
}

}  // namespace kt::platform
