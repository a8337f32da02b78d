// The CSV recording: the file's exact bytes, rows whole or not at all, a file that goes away,
// files that are no regular files, names taken byte for byte, and an existing file never emptied.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "platform/posix/UniqueFd.h"
#include "workbench/CsvRecorder.h"

using kt::values::MeasuredBlock;
using kt::values::Quantity;
using kt::workbench::CsvRecorder;
namespace fs = std::filesystem;

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
  b[Quantity::PhaseVoltageA] = 220.12;
  b[Quantity::PowerFactorA] = 0.1;
  b[Quantity::ReactivePowerA] = -0.0;  // a negative raw value times a PT ratio of 0
  b[Quantity::ActivePowerB] = -1234.5;
  b[Quantity::Frequency] = 46829 * 0.00106813;  // 50.019459770000005 as a double
  b[Quantity::ReverseActiveEnergy] = 123456789012.0;
  b.status = kt::values::StatusPair{0b01'10'00'11, 0b00'00'10'01};
  return b;
}

class CsvRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  // A folder of each test's own: cases run side by side, and so do other checkouts' runs.
  std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) /
                              ("csv_recorder_test-" + std::to_string(getpid()) + "-" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(CsvRecorderTest, HeaderAndRowsAreExactBytes) {
  const std::string header =
      "时间,子机地址,A相电压(V),CA线电压(V),A相电流(A),A相有功功率(W),A相功率因数,"
      "A相无功功率(Var),A相视在功率(VA),B相电压(V),AB线电压(V),B相电流(A),B相有功功率(W),"
      "B相功率因数,B相无功功率(Var),B相视在功率(VA),C相电压(V),BC线电压(V),C相电流(A),"
      "C相有功功率(W),C相功率因数,C相无功功率(Var),C相视在功率(VA),零序电流(A),合相电压(V),"
      "合相电流(A),频率(Hz),总有功功率(W),总功率因数,总无功功率(Var),总视在功率(VA),"
      "正向有功电能(Wh),负向有功电能(Wh),正向无功电能(Varh),负向无功电能(Varh),合相线电压(V),"
      "电压1状态,电压2状态,电压3状态,电压4状态,电流1状态,电流2状态,电流3状态,电流4状态";
  // Volts with 2 decimals, amperes and power factors 4, powers 1, hertz 8, energies none.
  const std::string row =
      "2026-01-02T03:04:05.678,7,220.12,1.00,2.0000,3.0,0.1000,0.0,6.0,7.00,8.00,9.0000,-1234.5,"
      "11.0000,12.0,13.0,14.00,15.00,16.0000,17.0,18.0000,19.0,20.0,21.0000,22.00,23.0000,"
      "50.01945977,25.0,26.0000,27.0,28.0,29,123456789012,31,32,33.00,"
      "欠压,过压,正常,正常,正常,正常,过流,欠流";
  MeasuredBlock noStatus = KnownBlock();
  noStatus.status.reset();
  // 2026-03-09 09:08:07.050 UTC: single-digit month, day and hour, milliseconds padded.
  noStatus.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1773047287050));

  CsvRecorder recorder;
  const auto path = dir / "known.csv";
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

// Files in memory on a disk of `capacity` bytes: an append that does not fit writes what fits,
// as write(2) does, then fails.
struct MemoryFiles : kt::workbench::RecordFiles {
  struct Disk {
    std::map<std::string, std::string> files;
    size_t capacity = 1 << 20;
    bool cutFails = false;
    size_t Used() const {
      size_t used = 0;
      for (const auto& [name, bytes] : files) used += bytes.size();
      return used;
    }
  };
  struct File : kt::workbench::RecordFile {
    File(Disk& d, std::string p) : disk(d), path(std::move(p)) {}
    std::string& Bytes() { return disk.files[path]; }
    uint64_t Size() override { return Bytes().size(); }
    std::string Read(uint64_t offset, size_t count) override {
      return offset < Bytes().size() ? Bytes().substr(offset, count) : std::string();
    }
    std::string Append(std::string_view bytes) override {
      const size_t room = disk.capacity - disk.Used();
      Bytes() += bytes.substr(0, room);
      return bytes.size() <= room ? "" : "磁盘已满";
    }
    std::string CutTo(uint64_t size) override {
      if (disk.cutFails) return "输入/输出错误";
      Bytes().resize(size);
      return "";
    }
    std::string Gone() override { return ""; }
    Disk& disk;
    std::string path;
  };
  explicit MemoryFiles(Disk& d) : disk(d) {}
  kt::workbench::OpenedRecordFile Open(const std::string& path) override {
    disk.files[path];
    return {std::make_unique<File>(disk, path), ""};
  }
  Disk& disk;
};

const std::string kHead = "\xEF\xBB\xBF" + kt::workbench::CsvHeader() + "\r\n";
std::string RowOf(const MeasuredBlock& b) {
  return kt::workbench::CsvRow(b) + "\r\n";
}

TEST(CsvRecorderOnAFullDisk, AFailedWriteStopsTheRecordingOnceAndKeepsEarlierRows) {
  MemoryFiles::Disk disk;
  CsvRecorder recorder(std::make_unique<MemoryFiles>(disk));
  ASSERT_EQ(recorder.Start("full.csv"), "");
  recorder.Write(KnownBlock());
  const std::string before = disk.files["full.csv"];
  ASSERT_EQ(before, kHead + RowOf(KnownBlock()));

  // Room for all of the next row but its last byte, or for just one byte of it: either way the
  // row is not left torn, and the one before stays whole.
  for (const size_t room : {RowOf(KnownBlock()).size() - 1, size_t{1}}) {
    SCOPED_TRACE(room);
    disk.files["full.csv"] = before;
    ASSERT_EQ(recorder.Start("full.csv"), "");
    disk.capacity = before.size() + room;
    recorder.Write(KnownBlock());
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(recorder.Failure(), "记录已停止：写入 full.csv 失败（磁盘已满）");
    EXPECT_EQ(recorder.RowsWritten(), 0u);
    recorder.Write(KnownBlock());  // nothing more happens
    EXPECT_EQ(disk.files["full.csv"], before);
    disk.capacity = 1 << 20;
  }
  // A row that just fits is written.
  ASSERT_EQ(recorder.Start("full.csv"), "");
  disk.capacity = before.size() + RowOf(KnownBlock()).size();
  recorder.Write(KnownBlock());
  EXPECT_TRUE(recorder.Recording());
  EXPECT_EQ(disk.files["full.csv"], before + RowOf(KnownBlock()));

  // When even the cut fails, the message says the last row may be torn.
  disk.cutFails = true;
  recorder.Write(KnownBlock());
  EXPECT_EQ(recorder.Failure(),
            "记录已停止：写入 full.csv 失败（磁盘已满），末行可能不完整（输入/输出错误）");

  // A new recording starts clean.
  disk.cutFails = false;
  disk.capacity = 1 << 20;
  ASSERT_EQ(recorder.Start("again.csv"), "");
  EXPECT_EQ(recorder.Failure(), "");
}

TEST_F(CsvRecorderTest, ARealFullFileSystemNeverLeavesATornRow) {
  const fs::path mountPoint = dir / "small";
  fs::create_directories(mountPoint);
  if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=8k") != 0) {
    GTEST_SKIP() << "no small file system to fill: mount is not permitted here";
  }
  // Declared before the recorder, so its file is closed first.
  const std::shared_ptr<void> unmount(nullptr, [&](void*) { ::umount(mountPoint.c_str()); });
  const fs::path csv = mountPoint / "full.csv";
  CsvRecorder recorder;
  ASSERT_EQ(recorder.Start(csv.string()), "");
  MeasuredBlock block = KnownBlock();
  for (size_t i = 0; i < 1000 && recorder.Recording(); ++i) {
    block[Quantity::ForwardActiveEnergy] =
        static_cast<double>(418843 + i);  // the last field holds a long number
    recorder.Write(block);
  }
  ASSERT_FALSE(recorder.Recording());
  EXPECT_EQ(recorder.Failure(), "记录已停止：写入 " + csv.string() + " 失败（磁盘已满）");
  const std::string text = FileText(csv);
  ASSERT_GT(recorder.RowsWritten(), 5u);
  // The header and exactly the rows counted, each whole.
  size_t rows = 0;
  for (size_t at = kHead.size(); at < text.size(); ++rows) {
    const size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "a torn row at the end";
    // Every field there, the energy (field 32) with all its digits.
    std::vector<std::string> fields;
    std::stringstream line(text.substr(at, end - at));
    for (std::string field; std::getline(line, field, ',');) fields.push_back(field);
    ASSERT_EQ(fields.size(), 2 + 34 + 8u);
    EXPECT_EQ(fields[31], std::to_string(418843 + rows));
    at = end + 2;
  }
  EXPECT_EQ(rows, recorder.RowsWritten());
  EXPECT_EQ(text.substr(0, kHead.size()), kHead);
}

TEST_F(CsvRecorderTest, AFileRemovedOrRenamedAwayStopsTheRecordingAtTheNextRow) {
  struct Case {
    const char* name;
    void (*act)(const fs::path& file);
    const char* gone;  // "" when the recording goes on
  };
  const Case cases[] = {
      {"removed", [](const fs::path& f) { fs::remove(f); }, "已被删除"},
      {"renamed away", [](const fs::path& f) { fs::rename(f, f.parent_path() / "moved.csv"); },
       "已被移走或改名"},
      {"folder removed", [](const fs::path& f) { fs::remove_all(f.parent_path()); },
       "所在的文件夹已被删除或移走"},
      {"replaced",
       [](const fs::path& f) {
         fs::rename(f, f.parent_path() / "old.csv");
         std::ofstream(f) << "x";
       },
       "已被另一个文件替换"},
      {"a second name added", [](const fs::path& f) { fs::create_hard_link(f, f.string() + ".2"); },
       ""},
      {"written to by someone else",
       [](const fs::path& f) { std::ofstream(f, std::ios::app) << ""; }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = dir / "goes-away";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path csv = folder / "rec.csv";
    CsvRecorder recorder;
    ASSERT_EQ(recorder.Start(csv.string()), "");
    recorder.Write(KnownBlock());
    c.act(csv);
    recorder.Write(KnownBlock());
    EXPECT_EQ(recorder.Recording(), *c.gone == '\0');
    EXPECT_EQ(recorder.RowsWritten(), *c.gone == '\0' ? 2u : 1u);
    EXPECT_EQ(recorder.Failure(),
              *c.gone == '\0' ? std::string() : "记录已停止：" + csv.string() + " " + c.gone);
  }
}

// A file that cannot be created, or is no regular file, is refused with the reason; nothing waits
// for a pipe's reader.
TEST_F(CsvRecorderTest, OnlyRegularFilesAreRecordedToAndNothingWaitsForAReader) {
  const fs::path fifo = dir / "pipe.csv";
  fs::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string refusal = "：不是普通文件（管道或设备）";
  CsvRecorder recorder;
  // Nobody reads the pipe: opening it for writing would wait for ever.
  EXPECT_EQ(recorder.Start(fifo.string()), "无法记录到 " + fifo.string() + refusal);
  {
    // With a reader, the pipe could be opened, and is refused all the same.
    kt::platform::UniqueFd reader(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_GE(reader.get(), 0);
    EXPECT_EQ(recorder.Start(fifo.string()), "无法记录到 " + fifo.string() + refusal);
  }
  EXPECT_EQ(recorder.Start("/dev/null"), "无法记录到 /dev/null" + refusal);
  EXPECT_EQ(recorder.Start(dir.string()), "无法创建 " + dir.string() + "：这是一个文件夹");
  const std::string missing = (dir / "gone" / "x.csv").string();
  EXPECT_EQ(recorder.Start(missing), "无法创建 " + missing + "：文件夹不存在");
  EXPECT_FALSE(recorder.Recording());
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(CsvRecorderTest, TheNameIsUsedByteForByte) {
  // Latin-1 bytes that are no UTF-8, and a UTF-8 name.
  for (const std::string& name : {std::string("rec-\xE9t\xE9-\xFF.csv"), std::string("记录.csv")}) {
    const std::string path = dir.string() + "/" + name;
    ::unlink(path.c_str());
    CsvRecorder recorder;
    ASSERT_EQ(recorder.Start(path), "");
    recorder.Write(KnownBlock());
    EXPECT_EQ(recorder.Path(), path);
    EXPECT_TRUE(std::ranges::any_of(fs::directory_iterator(dir), [&](const auto& entry) {
      return entry.path().filename().string() == name;
    })) << "no file named with exactly these bytes";
    EXPECT_EQ(FileText(path), kHead + RowOf(KnownBlock()));
  }
}

TEST_F(CsvRecorderTest, StartingNeverLosesWhatAFileHolds) {
  const std::string row = RowOf(KnownBlock());
  const std::string otherHead = "\xEF\xBB\xBF时间,旧格式\r\n1,2\r\n";
  // What the user is told: nothing, rows after the file's own, or (rows gone to another file)
  // the file left alone and how the rows went.
  const std::string here = "记录追加在已有文件的末尾，原有内容保留";
  const std::string cut = here + "（已去掉末尾不完整的一行）";
  const std::string written = "写入 ", appended = "追加到 ";
  struct Case {
    const char* name;
    std::map<std::string, std::string> before;  // files there before
    std::string expectedFile;                   // the file the rows go to
    std::string expectedText;                   // its text after one more row
    std::string told;
    std::string file = "r.csv";  // recorded to, in the folder
  };
  const std::string r = "r.csv";
  const std::string rows2 = row + row;
  const Case cases[] = {
      {"no file yet", {}, r, kHead + row, ""},
      {"an empty file", {{r, ""}}, r, kHead + row, ""},
      {"only our header", {{r, kHead}}, r, kHead + row, here},
      {"our header and a torn first row", {{r, kHead + "2"}}, r, kHead + row, cut},
      {"our header and rows", {{r, kHead + rows2}}, r, kHead + rows2 + row, here},
      {"a torn last row cut off", {{r, kHead + row + "2026-01-0"}}, r, kHead + rows2, cut},
      {"another header", {{r, otherHead}}, "r-2.csv", kHead + row, written},
      {"another header twice",
       {{r, otherHead}, {"r-2.csv", otherHead}},
       "r-3.csv",
       kHead + row,
       written},
      {"our header in the numbered file",
       {{r, otherHead}, {"r-2.csv", kHead + row}},
       "r-2.csv",
       kHead + rows2,
       appended},
      {"a header cut short", {{r, kHead.substr(0, 20)}}, "r-2.csv", kHead + row, written},
      {"no extension", {{"r", otherHead}}, "r-2", kHead + row, written, "r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = dir / "continue";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, text] : c.before)
      std::ofstream(folder / name, std::ios::binary) << text;
    CsvRecorder recorder;
    const std::string asked = (folder / c.file).string();
    const std::string used = (folder / c.expectedFile).string();
    ASSERT_EQ(recorder.Start(asked), "");
    recorder.Write(KnownBlock());
    EXPECT_EQ(recorder.Path(), used);
    EXPECT_EQ(FileText(folder / c.expectedFile), c.expectedText);
    // Every other file is as it was.
    for (const auto& [name, text] : c.before) {
      if (name != c.expectedFile) {
        EXPECT_EQ(FileText(folder / name), text) << name;
      }
    }
    EXPECT_EQ(recorder.StartNote(), c.expectedFile == c.file
                                        ? c.told
                                        : asked + " 已有其他内容，未改动；记录" + c.told + used);
  }
  EXPECT_EQ(kt::workbench::NumberedPath("/a/b.c/rec", 2), "/a/b.c/rec-2");
  EXPECT_EQ(kt::workbench::NumberedPath("/a/.csv", 3), "/a/.csv-3");
  EXPECT_EQ(kt::workbench::NumberedPath("x.tar.csv", 12), "x.tar-12.csv");
  EXPECT_EQ(kt::workbench::NumberedPath("C:\\logs.old\\rec", 4), "C:\\logs.old\\rec-4");
  EXPECT_EQ(kt::workbench::NumberedPath("C:\\logs\\rec.csv", 5), "C:\\logs\\rec-5.csv");
}

}  // namespace
