// The file a recording appends its rows to, behind the platform's file calls, so that the
// recorder itself needs none of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kt::workbench {

class RecordFile {
 public:
  virtual ~RecordFile() = default;

  // Bytes in the file now.
  virtual uint64_t Size() = 0;
  // Up to `count` bytes from `offset` (fewer at the end of the file, none on a failure).
  virtual std::string Read(uint64_t offset, size_t count) = 0;
  // Appends all of `bytes`: "" or the reason of the failure in Chinese ("磁盘已满"), after which
  // a part of them may be in the file.
  virtual std::string Append(std::string_view bytes) = 0;
  // Cuts the file back to its first `size` bytes: "" or the reason.
  virtual std::string CutTo(uint64_t size) = 0;
  // "" while the path it was opened with still names it; else what became of it ("已被删除").
  virtual std::string Gone() = 0;
};

struct OpenedRecordFile {
  std::unique_ptr<RecordFile> file;  // null when refused
  std::string refusal;               // then the whole message in Chinese
};

class RecordFiles {
 public:
  virtual ~RecordFiles() = default;
  // Opens `path`, byte for byte as given, creating it when it is missing; an existing file keeps
  // what it holds. Only a regular file is taken: a pipe or a device is refused at once, without
  // waiting for a reader.
  virtual OpenedRecordFile Open(const std::string& path) = 0;
};

// The platform's files.
std::unique_ptr<RecordFiles> SystemRecordFiles();

}  // namespace kt::workbench
