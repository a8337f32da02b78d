// Output files with the C runtime's descriptors: wide names, binary (no CR added before LF).
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "serial/win32/WideText.h"
#include "workbench/FileOutput.h"

namespace kt::workbench {

int CreateOutputFile(const std::string& path) {
  const std::wstring wide = serial::win32::WideFromUtf8(path);
  int fd = -1;
  const errno_t e =
      _wsopen_s(&fd, wide.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                _SH_DENYNO, _S_IREAD | _S_IWRITE);
  if (e != 0) {
    errno = e;
    return -1;
  }
  return fd;
}

bool WriteAll(int fd, std::string_view text) {
  return WriteInPieces(text, [fd](std::string_view piece) -> int64_t {
    return _write(fd, piece.data(), static_cast<unsigned>(std::min<size_t>(piece.size(), INT_MAX)));
  });
}

}  // namespace kt::workbench
