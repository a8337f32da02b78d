// Output files with open(2), write(2) and close(2).
#include <fcntl.h>
#include <unistd.h>

#include "platform/FileOutput.h"

namespace kt::platform {

OutputFile::OutputFile(const std::string& path)
    // Without O_NONBLOCK, opening a pipe nobody reads would wait for a reader (ENXIO instead).
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644)) {
  // Writes wait as usual: a pipe with a reader (standard output) takes all of the text.
  if (fd_ >= 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool WriteAll(int fd, std::string_view text) {
  return WriteInPieces(text, [fd](std::string_view piece) -> int64_t {
    return ::write(fd, piece.data(), piece.size());
  });
}

}  // namespace kt::platform
