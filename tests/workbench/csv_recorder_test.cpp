// The CSV recording: the file's exact bytes, and a failed write that stops it losing no row.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "workbench/CsvRecorder.h"

using kt::measure::MeasuredBlock;
using kt::measure::Quantity;
using kt::workbench::CsvRecorder;

namespace {

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

MeasuredBlock KnownBlock() {
  MeasuredBlock b;
  // 2026-01-02 03:04:05.678 UTC
  b.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1767323045678));
  b.slaveAddress = 7;
  for (size_t i = 0; i < b.values.size(); ++i) b.values[i] = static_cast<double>(i);
  b[Quantity::PhaseVoltageA] = 220.123456789;
  b[Quantity::PowerFactorA] = 0.1;
  b[Quantity::ActivePowerB] = -1234.5;
  b[Quantity::ReverseActiveEnergy] = 123456789012.0;
  b.status = kt::measure::StatusPair{0b01'10'00'11, 0b00'00'10'01};
  return b;
}

class CsvRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    std::filesystem::create_directories(dir);
  }
  std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "csv_recorder_test";
};

TEST_F(CsvRecorderTest, HeaderAndRowsAreExactBytes) {
  const std::string header =
      "时间,子机地址,A相电压(V),CA线电压(V),A相电流(A),A相有功功率(W),A相功率因数,"
      "A相无功功率(var),A相视在功率(VA),B相电压(V),AB线电压(V),B相电流(A),B相有功功率(W),"
      "B相功率因数,B相无功功率(var),B相视在功率(VA),C相电压(V),BC线电压(V),C相电流(A),"
      "C相有功功率(W),C相功率因数,C相无功功率(var),C相视在功率(VA),零序电流(A),合相电压(V),"
      "合相电流(A),频率(Hz),总有功功率(W),总功率因数,总无功功率(var),总视在功率(VA),"
      "正向有功电能(Wh),反向有功电能(Wh),正向无功电能(varh),反向无功电能(varh),合相线电压(V),"
      "电压1状态,电压2状态,电压3状态,电压4状态,电流1状态,电流2状态,电流3状态,电流4状态";
  const std::string row =
      "2026-01-02T03:04:05.678,7,220.123456789,1,2,3,0.1,5,6,7,8,9,-1234.5,11,12,13,14,15,16,"
      "17,18,19,20,21,22,23,24,25,26,27,28,29,123456789012,31,32,33,"
      "欠压,过压,正常,正常,正常,正常,过流,欠流";
  MeasuredBlock noStatus = KnownBlock();
  noStatus.status.reset();
  // 2026-03-09 09:08:07.050 UTC: single-digit month, day and hour, milliseconds padded.
  noStatus.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1773047287050));

  CsvRecorder recorder;
  const auto path = dir / "known.csv";
  {
    // An older, longer recording under the same name is replaced, not written over in part.
    std::ofstream old(path, std::ios::binary);
    old << std::string(20000, 'x') << "\r\n";
  }
  ASSERT_EQ(recorder.Start(path.string()), "");
  recorder.Write(KnownBlock());
  recorder.Write(noStatus);
  EXPECT_EQ(recorder.RowsWritten(), 2u);
  // Each row is in the file as soon as it is written, before the recording ends.
  const std::string noStatusRow = "2026-03-09T09:08:07.050" +
                                  row.substr(row.find(','), row.find("欠压") - row.find(',')) +
                                  ",,,,,,,";
  EXPECT_EQ(FileText(path), "\xEF\xBB\xBF" + header + "\r\n" + row + "\r\n" + noStatusRow + "\r\n");
}

TEST_F(CsvRecorderTest, AFailedWriteStopsTheRecordingOnceAndKeepsEarlierRows) {
  CsvRecorder recorder;
  const auto path = dir / "full.csv";
  ASSERT_EQ(recorder.Start(path.string()), "");
  recorder.Write(KnownBlock());
  const std::string before = FileText(path);

  // The disk fills up: the recording's descriptor now writes to a full device.
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  ASSERT_GE(::dup2(full, recorder.Descriptor()), 0);
  ::close(full);
  recorder.Write(KnownBlock());
  EXPECT_FALSE(recorder.Recording());
  EXPECT_EQ(recorder.Failure(), "记录已停止：写入 " + path.string() + " 失败（磁盘已满）");
  EXPECT_EQ(recorder.RowsWritten(), 1u);
  recorder.Write(KnownBlock());  // nothing more happens
  EXPECT_EQ(recorder.RowsWritten(), 1u);
  EXPECT_EQ(FileText(path), before);
  EXPECT_NE(before.find("2026-01-02T03:04:05.678,7,"), std::string::npos);

  // A new recording starts clean.
  ASSERT_EQ(recorder.Start((dir / "again.csv").string()), "");
  EXPECT_EQ(recorder.Failure(), "");
}

TEST_F(CsvRecorderTest, AFileThatCannotBeCreatedIsRefusedWithTheReason) {
  CsvRecorder recorder;
  const std::string missing = (dir / "gone" / "x.csv").string();
  EXPECT_EQ(recorder.Start(missing), "无法创建 " + missing + "：文件夹不存在");
  EXPECT_FALSE(recorder.Recording());
  EXPECT_EQ(recorder.Start("/dev/full"), "无法写入 /dev/full：磁盘已满");
  EXPECT_FALSE(recorder.Recording());
}

}  // namespace
