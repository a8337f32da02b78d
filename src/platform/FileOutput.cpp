// File errors in Chinese with the system's text as the fallback, and whole writes.
#include "platform/FileOutput.h"

#include <cerrno>
#include <cstring>

namespace kt::platform {

std::string FileErrorReason(int error) {
  switch (error) {
    case ENOSPC:
      return "磁盘已满";
#ifdef EDQUOT  // quotas are a POSIX system's
    case EDQUOT:
      return "超出磁盘配额";
#endif
    case ENOENT:
      return "文件夹不存在";
    case ENOTDIR:
      return "路径中有一项不是文件夹";
    case EACCES:
    case EPERM:
      return "没有权限";
    case EROFS:
      return "只读文件系统";
    case EISDIR:
      return "这是一个文件夹";
    case EIO:
      return "输入/输出错误";
    case EFBIG:
      return "文件过大";
    case EBADF:
      return "文件已关闭";
    case ENAMETOOLONG:
      return "文件名过长";
    case EBUSY:
      return "正被其他程序使用";
    case ENXIO:
      return "管道无人读取或设备不存在";
    default:
      return std::strerror(error);
  }
}

bool WriteInPieces(std::string_view text, const WriteCall& write) {
  size_t done = 0;
  while (done < text.size()) {
    const int64_t n = write(text.substr(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace kt::platform
