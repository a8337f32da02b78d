// The recording's files on Windows: Chinese names, appends at the end, cuts, reads, what became
// of the path, and the refusals of what is no file on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FileBytes.h"
#include "workbench/RecordFile.h"

namespace {

namespace fs = std::filesystem;

using kt::test::ReadBytes;
using kt::test::Utf8;

class RecordFilesOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  fs::path folder = fs::temp_directory_path() / u8"kt7340_记录测试";
  fs::path file = folder / u8"电能记录.csv";
  std::unique_ptr<kt::workbench::RecordFiles> files = kt::workbench::SystemRecordFiles();
};

}  // namespace

// An existing file keeps its bytes and takes rows at its end, also after a cut and after a read
// moved the file's position.
TEST_F(RecordFilesOnWindows, AnExistingFileKeepsItsBytesAndTakesRowsAtItsEnd) {
  const std::string old = "旧的一行\r\n半行";
  std::ofstream(file, std::ios::binary) << old;
  {
    const auto opened = files->Open(Utf8(file));
    ASSERT_TRUE(opened.file) << opened.refusal;
    EXPECT_EQ(opened.file->Size(), old.size());
    EXPECT_EQ(opened.file->Read(0, 3), old.substr(0, 3));
    EXPECT_EQ(opened.file->Read(old.size() - 2, 10), old.substr(old.size() - 2));  // past the end
    EXPECT_EQ(opened.file->Read(old.size(), 1), "");
    const size_t kept = old.find("半行");
    EXPECT_EQ(opened.file->CutTo(kept), "");
    EXPECT_EQ(opened.file->Read(0, 2), old.substr(0, 2));  // the position is now near the start
    EXPECT_EQ(opened.file->Append("新行\r\n"), "");
    EXPECT_EQ(opened.file->Append(""), "");
    EXPECT_EQ(opened.file->Size(), kept + std::string("新行\r\n").size());
    EXPECT_EQ(opened.file->Gone(), "");
  }
  EXPECT_EQ(ReadBytes(file), old.substr(0, old.find("半行")) + "新行\r\n");
}

// While a recording is open its file can be neither deleted nor renamed nor replaced (as any
// file in use on Windows), so the path names it before each row; others may still write to it.
TEST_F(RecordFilesOnWindows, TheOpenFileStaysWhereItIs) {
  struct Case {
    const char* name;
    void (*act)(const fs::path& f, std::error_code& e);
  };
  const Case cases[] = {
      {"removed", [](const fs::path& f, std::error_code& e) { fs::remove(f, e); }},
      {"renamed away", [](const fs::path& f,
                          std::error_code& e) { fs::rename(f, f.parent_path() / "moved.csv", e); }},
      {"replaced",
       [](const fs::path& f, std::error_code& e) {
         std::ofstream(f.parent_path() / "new.csv") << "x";
         fs::rename(f.parent_path() / "new.csv", f, e);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto opened = files->Open(Utf8(file));
    ASSERT_TRUE(opened.file) << opened.refusal;
    ASSERT_EQ(opened.file->Append("a"), "");
    std::error_code refused;
    c.act(file, refused);
    EXPECT_TRUE(refused) << "the open file was " << c.name;
    std::ofstream(file, std::ios::app | std::ios::binary) << "b";
    EXPECT_EQ(opened.file->Gone(), "");
    EXPECT_EQ(opened.file->Append("c"), "");
    EXPECT_EQ(ReadBytes(file), "abc");
  }
}

// A device, a folder and a folder that is not there are refused at once, in Chinese.
TEST_F(RecordFilesOnWindows, OnlyFilesOnDiskAreTaken) {
  EXPECT_EQ(files->Open("NUL").refusal, "无法记录到 NUL：不是普通文件（管道或设备）");
  EXPECT_EQ(files->Open(Utf8(folder)).refusal, "无法创建 " + Utf8(folder) + "：这是一个文件夹");
  const std::string missing = Utf8(folder / u8"没有" / "a.csv");
  EXPECT_EQ(files->Open(missing).refusal, "无法创建 " + missing + "：文件夹不存在");
  EXPECT_FALSE(fs::exists(folder / u8"没有"));
}
