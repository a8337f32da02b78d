// Recording decoded blocks to a CSV file, each row handed to the system as its block is decoded.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "measure/MeasuredBlock.h"
#include "serial/UniqueFd.h"

namespace kt::workbench {

// The header row without its line end: "时间,子机地址,A相电压(V),...,电流4状态".
std::string CsvHeader();
// One row without its line end: ISO 8601 local time with milliseconds, the slave address, the
// 34 values in shortest round-trip form, the eight status texts (empty without a status pair).
std::string CsvRow(const measure::MeasuredBlock& block);

class CsvRecorder {
 public:
  // Creates (or truncates) the file and writes the byte-order mark and the header. Returns "" or
  // a Chinese message with the reason; a recording already running is stopped first.
  std::string Start(const std::string& path, std::chrono::steady_clock::time_point started =
                                                 std::chrono::steady_clock::now());
  void Stop() { fd_.reset(); }

  // Writes the block's row with one write(2); a failure stops the recording and sets Failure().
  void Write(const measure::MeasuredBlock& block);

  bool Recording() const { return fd_.get() >= 0; }
  const std::string& Path() const { return path_; }
  uint64_t RowsWritten() const { return rows_; }
  std::chrono::steady_clock::time_point StartedAt() const { return started_; }
  // The message of the write failure that ended the latest recording, else "".
  const std::string& Failure() const { return failure_; }

  // For tests: the descriptor rows go to.
  int Descriptor() const { return fd_.get(); }

 private:
  serial::UniqueFd fd_;
  std::string path_;
  uint64_t rows_ = 0;
  std::chrono::steady_clock::time_point started_{};
  std::string failure_;
};

}  // namespace kt::workbench
