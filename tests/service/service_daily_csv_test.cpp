// The day's CSV file: named by the block's local date, and only this line's files older than
// the days kept removed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "service/DailyCsv.h"
#include "values/LocalTimeText.h"

namespace kt::service {
namespace {

namespace fs = std::filesystem;
using std::chrono::days;

TEST(DailyCsv, OnlyThisLinesFilesOlderThanTheDaysKeptGo) {
  const fs::path folder = fs::temp_directory_path() / ("kt_daily_" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const auto now = std::chrono::system_clock::now();
  // Dates counted from today by the calendar, the way a reader of the folder sees them.
  const auto name = [&](const std::string& line, int daysAgo) {
    return line + "-" +
           values::LocalTimeText(now - days(daysAgo), values::TimeFields::DateAndTime)
               .substr(0, 10) +
           ".csv";
  };
  const std::vector<std::string> kept = {name("p1", 1), name("p1", 2),  name("p10", 5),
                                         name("p", 9),  "p1-notes.csv", "p1-2001-01-01.txt"};
  const std::vector<std::string> removed = {name("p1", 3), name("p1", 40)};
  for (const auto& n : kept) std::ofstream(folder / n) << "x";
  for (const auto& n : removed) std::ofstream(folder / n) << "x";

  DailyCsv csv(folder.string(), "p1", 3, [](LogLevel, const std::string&) {});
  values::MeasuredBlock block;
  block.time = now;
  block.slaveAddress = 17;
  csv.Write(block);
  csv.Write(block);

  for (const auto& n : kept) EXPECT_TRUE(fs::exists(folder / n)) << n;
  for (const auto& n : removed) EXPECT_FALSE(fs::exists(folder / n)) << n;
  // Today's file: the recorder's byte-order mark and header, then a row per block.
  std::ifstream today(folder / DailyCsvName("p1", now));
  std::string line;
  int rows = 0;
  while (std::getline(today, line)) ++rows;
  EXPECT_EQ(rows, 3);
  // Moved away (a rotation): the next row starts the day's file again, nothing lost.
  fs::rename(folder / DailyCsvName("p1", now), folder / "p1-moved.csv");
  csv.Write(block);
  std::ifstream again(folder / DailyCsvName("p1", now));
  for (rows = 0; std::getline(again, line);) ++rows;
  EXPECT_EQ(rows, 2);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kt::service
