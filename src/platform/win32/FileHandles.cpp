// Output files with the C runtime's descriptors: wide names, binary (no CR added before LF).
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/FileOutput.h"
#include "platform/win32/WideText.h"

namespace kt::platform {

OutputFile::OutputFile(const std::string& path) {
  const std::wstring wide = platform::win32::WideFromUtf8(path);
  const errno_t e =
      _wsopen_s(&fd_, wide.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                _SH_DENYNO, _S_IREAD | _S_IWRITE);
  if (e != 0) {
    fd_ = -1;
    errno = e;
  }
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) _close(fd_);
}

bool WriteAll(int fd, std::string_view text) {
  return WriteInPieces(text, [fd](std::string_view piece) -> int64_t {
    return _write(fd, piece.data(), static_cast<unsigned>(std::min<size_t>(piece.size(), INT_MAX)));
  });
}

}  // namespace kt::platform
