// Writing to files without buffering in the process, and the Chinese reasons of their failures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kt::platform {

// "磁盘已满" for ENOSPC, "文件夹不存在" for ENOENT, ...; the system's text for the rarer ones.
std::string FileErrorReason(int error);

// Hands all of `text` to the system; false with errno set on failure. Each platform defines it.
bool WriteAll(int fd, std::string_view text);

// A file created for writing, emptied if it exists, not inherited by child processes, and
// closed when it goes. A pipe nobody reads is refused (ENXIO), not waited for. Each platform
// defines its opening and closing (posix/, win32/).
class OutputFile {
 public:
  // Creates `path` (UTF-8); IsOpen() is false, with errno set, when that fails.
  explicit OutputFile(const std::string& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Hands all of `text` to the file; false with errno set on failure.
  bool Write(std::string_view text) const { return WriteAll(fd_, text); }

 private:
  int fd_ = -1;
};

// One write call of the system: the bytes it took of `piece`, or -1 with errno set.
using WriteCall = std::function<int64_t(std::string_view piece)>;

// Hands all of `text` to `write`, one call after another, again after EINTR: false with errno
// set on failure (EIO when a call took nothing). Every platform's writes go through it.
bool WriteInPieces(std::string_view text, const WriteCall& write);

}  // namespace kt::platform
