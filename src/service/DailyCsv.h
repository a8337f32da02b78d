// One CSV file per line per day, "<folder>/<line>-YYYY-MM-DD.csv" by the block's local date, in
// the recorder's format; files older than the days kept are removed.
#pragma once

#include <chrono>
#include <string>

#include "service/ServiceLog.h"
#include "workbench/CsvRecorder.h"

namespace kt::service {

// "panel1-2026-12-10.csv" for the local date of `t`.
std::string DailyCsvName(const std::string& line, std::chrono::system_clock::time_point t);

class DailyCsv {
 public:
  DailyCsv(std::string folder, std::string line, int keepDays, Log log);

  // Appends the block's row to the file of its day, starting that file (and clearing out the
  // files older than the days kept) when the day changes.
  void Write(const values::MeasuredBlock& block);

 private:
  // false when the recorder stopped on this block, its row not written.
  bool WriteOnce(const values::MeasuredBlock& block);
  void RemoveOld(std::chrono::system_clock::time_point t);

  std::string folder_;
  std::string line_;
  int keepDays_;
  Log log_;
  workbench::CsvRecorder recorder_;
  std::string name_;  // the day's file name, once started
  std::string lastFailure_;
};

}  // namespace kt::service
