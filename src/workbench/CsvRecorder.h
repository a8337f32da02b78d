// Recording decoded blocks to a CSV file, each row handed to the system as its block is decoded.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "values/MeasuredBlock.h"
#include "workbench/RecordFile.h"

namespace kt::workbench {

// The header row without its line end: "时间,子机地址,A相电压(V),...,电流4状态".
std::string CsvHeader();
// One row without its line end: ISO 8601 local time with milliseconds, the slave address, the
// 34 values with the decimals of their registers, the eight status texts (empty without a status
// pair).
std::string CsvRow(const values::MeasuredBlock& block);

// "name-2.csv" for n = 2 and "name.csv"; without an extension "name-2".
std::string NumberedPath(const std::string& path, int n);

class CsvRecorder {
 public:
  explicit CsvRecorder(std::unique_ptr<RecordFiles> files = SystemRecordFiles());

  // A recording in `path` that loses nothing the file holds: a missing or empty file gets the
  // byte-order mark and the header; a file with this header gets the new rows after its own (a
  // torn last row cut off first); with another header the rows go to the first of "name-2.csv",
  // "name-3.csv", ... that is missing or has this header. Path() names the file, StartNote()
  // says what was made of it. Returns "" or a Chinese message with the reason; a recording
  // already running is stopped first. The path is used byte for byte.
  std::string Start(const std::string& path, std::chrono::steady_clock::time_point started =
                                                 std::chrono::steady_clock::now());
  void Stop() { file_.reset(); }

  // Writes the block's row whole or not at all: a failed write cuts the file back to its last
  // complete row, and it or a file removed or renamed away stops the recording with Failure().
  void Write(const values::MeasuredBlock& block);

  bool Recording() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }
  uint64_t RowsWritten() const { return rows_; }
  std::chrono::steady_clock::time_point StartedAt() const { return started_; }
  // The message of the failure that ended the latest recording, else "".
  const std::string& Failure() const { return failure_; }
  // For the user, after a start: "" for a new file, else that the rows go after the file's own,
  // or that the named file was left as it was and which file the rows go to.
  std::string StartNote() const;

 private:
  // Starts on `opened` at `path`: the header when the file is empty, else after its last row.
  std::string Begin(OpenedRecordFile opened, const std::string& path,
                    std::chrono::steady_clock::time_point started);
  // Cuts a torn last row off a file that has the header; "" or the reason.
  std::string CutTornRow();
  // Stops with `message` as the failure.
  void Fail(std::string message);

  std::unique_ptr<RecordFiles> files_;
  std::unique_ptr<RecordFile> file_;
  std::string path_;
  std::string asked_;      // the path Start was given
  bool appended_ = false;  // the file held rows or a header before
  bool tornCut_ = false;   // a torn last row was cut off
  uint64_t complete_ = 0;  // bytes of the file up to the end of its last complete row
  uint64_t rows_ = 0;
  std::chrono::steady_clock::time_point started_{};
  std::string failure_;
};

}  // namespace kt::workbench
