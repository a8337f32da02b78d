// Recording files on Windows: opened by their UTF-8 name widened for CreateFileW, only when on
// disk (no pipe, no device), kept from being deleted or renamed while open, rows appended at the
// end, and the path compared with the open file by volume and file index before each row.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "platform/FileOutput.h"
#include "platform/SystemReasonText.h"
#include "platform/win32/WideText.h"
#include "workbench/RecordFile.h"

namespace kt::workbench {
namespace {

// The one owner of a file handle.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
  FileHandle& operator=(FileHandle&& other) = delete;

  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

// The system's file error codes in the words the POSIX side uses; the system's own message for
// the rarer ones.
std::string FileErrorText(DWORD code) {
  switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return platform::FileErrorReason(ENOSPC);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return platform::FileErrorReason(ENOENT);
    case ERROR_ACCESS_DENIED:
      return platform::FileErrorReason(EACCES);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return platform::FileErrorReason(EBUSY);
    case ERROR_WRITE_PROTECT:
      return platform::FileErrorReason(EROFS);
    case ERROR_FILENAME_EXCED_RANGE:
      return platform::FileErrorReason(ENAMETOOLONG);
    case ERROR_INVALID_HANDLE:
      return platform::FileErrorReason(EBADF);
    case ERROR_DIRECTORY:
      return platform::FileErrorReason(ENOTDIR);
    default:
      return platform::SystemReasonText(static_cast<int>(code));
  }
}

std::string NotRegular(const std::string& path) {
  return "无法记录到 " + path + "：不是普通文件（管道或设备）";
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"/\\");
  if (slash == std::wstring::npos) return L".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// True when the file has been deleted while open (it goes when the last handle closes).
bool DeletePending(HANDLE h, const BY_HANDLE_FILE_INFORMATION& info) {
  FILE_STANDARD_INFO standard{};
  if (GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard) &&
      standard.DeletePending) {
    return true;
  }
  return info.nNumberOfLinks == 0;
}

class Win32RecordFile : public RecordFile {
 public:
  Win32RecordFile(FileHandle file, std::wstring path)
      : file_(std::move(file)), path_(std::move(path)) {}

  uint64_t Size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_.get(), &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  }

  std::string Read(uint64_t offset, size_t count) override {
    std::string bytes(count, '\0');
    size_t done = 0;
    while (done < count) {
      OVERLAPPED at{};
      const uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      DWORD got = 0;
      const auto chunk = static_cast<DWORD>(std::min<size_t>(count - done, INT_MAX));
      if (!ReadFile(file_.get(), bytes.data() + done, chunk, &got, &at) || got == 0) break;
      done += got;
    }
    bytes.resize(done);
    return bytes;
  }

  std::string Append(std::string_view bytes) override {
    LARGE_INTEGER none{};
    if (!SetFilePointerEx(file_.get(), none, nullptr, FILE_END)) {
      return FileErrorText(GetLastError());
    }
    DWORD failure = ERROR_SUCCESS;
    const bool written =
        platform::WriteInPieces(bytes, [this, &failure](std::string_view piece) -> int64_t {
          DWORD sent = 0;
          const auto chunk = static_cast<DWORD>(std::min<size_t>(piece.size(), INT_MAX));
          if (WriteFile(file_.get(), piece.data(), chunk, &sent, nullptr)) return sent;
          failure = GetLastError();
          errno = EIO;
          return -1;
        });
    if (written) return {};
    return failure != ERROR_SUCCESS ? FileErrorText(failure) : platform::FileErrorReason(errno);
  }

  std::string CutTo(uint64_t size) override {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file_.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file_.get())) {
      return FileErrorText(GetLastError());
    }
    return {};
  }

  std::string Gone() override {
    BY_HANDLE_FILE_INFORMATION open{};
    if (!GetFileInformationByHandle(file_.get(), &open)) {
      return "无法查看（" + FileErrorText(GetLastError()) + "）";
    }
    const bool folderThere = IsFolder(FolderOf(path_));
    if (DeletePending(file_.get(), open)) {
      return folderThere ? "已被删除" : "所在的文件夹已被删除或移走";
    }
    // No access asked: only the file's identity is read, whatever else holds it.
    const FileHandle named(
        CreateFileW(path_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!named.valid()) {
      const DWORD e = GetLastError();
      if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND) {
        return "无法查看（" + FileErrorText(e) + "）";
      }
      return folderThere ? "已被移走或改名" : "所在的文件夹已被删除或移走";
    }
    BY_HANDLE_FILE_INFORMATION now{};
    if (!GetFileInformationByHandle(named.get(), &now)) {
      return "无法查看（" + FileErrorText(GetLastError()) + "）";
    }
    if (!SameFile(open, now)) return "已被另一个文件替换";
    return {};
  }

 private:
  FileHandle file_;
  std::wstring path_;
};

class Win32RecordFiles : public RecordFiles {
 public:
  OpenedRecordFile Open(const std::string& path) override {
    std::wstring wide = platform::win32::WideFromUtf8(path);
    if (IsFolder(wide))
      return {nullptr, "无法创建 " + path + "：" + platform::FileErrorReason(EISDIR)};
    // Others may read and write it meanwhile, but not delete or rename it, as Windows keeps
    // every file in use: the rows keep their file. (Gone() still notices a path that moved.)
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD e = GetLastError();
      // A pipe whose every instance is taken: opening never waits for one.
      if (e == ERROR_PIPE_BUSY) return {nullptr, NotRegular(path)};
      return {nullptr, "无法创建 " + path + "：" + FileErrorText(e)};
    }
    // A device (NUL, CON, a COM port) or a pipe is no file to record to.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return {nullptr, NotRegular(path)};
    return {std::make_unique<Win32RecordFile>(std::move(file), std::move(wide)), {}};
  }
};

}  // namespace

std::unique_ptr<RecordFiles> SystemRecordFiles() {
  return std::make_unique<Win32RecordFiles>();
}

}  // namespace kt::workbench
