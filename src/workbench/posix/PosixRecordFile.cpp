// Recording files on POSIX: opened without blocking and only when regular, rows appended with
// write(2), and the path compared with the open file by device, inode and link count.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileOutput.h"
#include "platform/posix/UniqueFd.h"
#include "workbench/RecordFile.h"

namespace kt::workbench {
namespace {

std::string NotRegular(const std::string& path) {
  return "无法记录到 " + path + "：不是普通文件（管道或设备）";
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

class PosixRecordFile : public RecordFile {
 public:
  PosixRecordFile(platform::UniqueFd fd, std::string path)
      : fd_(std::move(fd)), path_(std::move(path)) {}

  uint64_t Size() override {
    struct stat st {};
    return ::fstat(fd_.get(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  }

  std::string Read(uint64_t offset, size_t count) override {
    std::string bytes(count, '\0');
    size_t done = 0;
    while (done < count) {
      const ssize_t n =
          ::pread(fd_.get(), bytes.data() + done, count - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
  }

  std::string Append(std::string_view bytes) override {
    return platform::WriteAll(fd_.get(), bytes) ? std::string() : platform::FileErrorReason(errno);
  }

  std::string CutTo(uint64_t size) override {
    return ::ftruncate(fd_.get(), static_cast<off_t>(size)) == 0 ? std::string()
                                                                 : platform::FileErrorReason(errno);
  }

  std::string Gone() override {
    struct stat open {};
    if (::fstat(fd_.get(), &open) != 0)
      return "无法查看（" + platform::FileErrorReason(errno) + "）";
    const bool folderThere = Exists(FolderOf(path_));
    if (open.st_nlink == 0) return folderThere ? "已被删除" : "所在的文件夹已被删除或移走";
    struct stat named {};
    if (::stat(path_.c_str(), &named) != 0) {
      if (errno != ENOENT && errno != ENOTDIR)
        return "无法查看（" + platform::FileErrorReason(errno) + "）";
      return folderThere ? "已被移走或改名" : "所在的文件夹已被删除或移走";
    }
    if (named.st_dev != open.st_dev || named.st_ino != open.st_ino) return "已被另一个文件替换";
    return {};
  }

 private:
  platform::UniqueFd fd_;
  std::string path_;
};

class PosixRecordFiles : public RecordFiles {
 public:
  OpenedRecordFile Open(const std::string& path) override {
    // Without O_NONBLOCK, opening a pipe nobody reads would wait for a reader.
    platform::UniqueFd fd(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
      if (errno == ENXIO) return {nullptr, NotRegular(path)};  // a pipe without a reader
      return {nullptr, "无法创建 " + path + "：" + platform::FileErrorReason(errno)};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
      return {nullptr, "无法创建 " + path + "：" + platform::FileErrorReason(errno)};
    }
    if (!S_ISREG(st.st_mode)) return {nullptr, NotRegular(path)};
    // Writes to a regular file do not wait anyway; the flag was for the opening.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return {std::make_unique<PosixRecordFile>(std::move(fd), path), {}};
  }
};

}  // namespace

std::unique_ptr<RecordFiles> SystemRecordFiles() {
  return std::make_unique<PosixRecordFiles>();
}

}  // namespace kt::workbench
