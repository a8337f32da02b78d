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
  size_t done = 0;
  while (done < text.size()) {
    const auto chunk = static_cast<unsigned>(std::min<size_t>(text.size() - done, INT_MAX));
    const int n = _write(fd, text.data() + done, chunk);
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace kt::workbench
