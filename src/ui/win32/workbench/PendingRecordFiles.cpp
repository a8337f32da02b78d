// The recorder's files through the C runtime, standing in until the Windows recording files of
// src/workbench/win32 are built: plain appends, flushed per row; no check of the path's identity.
#include <io.h>

#include <cstdio>
#include <memory>

#include "serial/win32/WideText.h"
#include "workbench/RecordFile.h"

namespace kt::workbench {
namespace {

class StdioRecordFile : public RecordFile {
 public:
  explicit StdioRecordFile(std::FILE* file) : file_(file) {}
  ~StdioRecordFile() override { std::fclose(file_); }
  StdioRecordFile(const StdioRecordFile&) = delete;
  StdioRecordFile& operator=(const StdioRecordFile&) = delete;
  StdioRecordFile(StdioRecordFile&&) = delete;
  StdioRecordFile& operator=(StdioRecordFile&&) = delete;

  uint64_t Size() override {
    _fseeki64(file_, 0, SEEK_END);
    const long long at = _ftelli64(file_);
    return at < 0 ? 0 : static_cast<uint64_t>(at);
  }
  std::string Read(uint64_t offset, size_t count) override {
    std::string bytes(count, '\0');
    if (_fseeki64(file_, static_cast<long long>(offset), SEEK_SET) != 0) return {};
    bytes.resize(std::fread(bytes.data(), 1, count, file_));
    return bytes;
  }
  std::string Append(std::string_view bytes) override {
    _fseeki64(file_, 0, SEEK_END);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() ||
        std::fflush(file_) != 0) {
      return "写入失败";
    }
    return {};
  }
  std::string CutTo(uint64_t size) override {
    std::fflush(file_);
    return _chsize_s(_fileno(file_), static_cast<long long>(size)) == 0 ? "" : "无法截断文件";
  }
  std::string Gone() override { return {}; }

 private:
  std::FILE* file_;
};

class StdioRecordFiles : public RecordFiles {
 public:
  OpenedRecordFile Open(const std::string& path, RecordOpening how) override {
    const std::wstring wide = serial::win32::WideFromUtf8(path);
    std::FILE* file = _wfopen(wide.c_str(), how == RecordOpening::Overwrite ? L"w+b" : L"a+b");
    if (file == nullptr) return {nullptr, "无法打开文件：" + path};
    if (how == RecordOpening::Keep) {
      // "a+" would force every write to the end, also after a cut: reopened for update instead.
      std::fclose(file);
      file = _wfopen(wide.c_str(), L"r+b");
      if (file == nullptr) return {nullptr, "无法打开文件：" + path};
    }
    return {std::make_unique<StdioRecordFile>(file), ""};
  }
};

}  // namespace

std::unique_ptr<RecordFiles> SystemRecordFiles() {
  return std::make_unique<StdioRecordFiles>();
}

}  // namespace kt::workbench
