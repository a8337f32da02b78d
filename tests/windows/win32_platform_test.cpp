// The platform calls the core makes on Windows: output files with Chinese names, written
// byte for byte, and the local calendar of the time zone in force.
#include <gtest/gtest.h>
#include <io.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FileBytes.h"
#include "platform/FileOutput.h"
#include "values/LocalTimeText.h"

namespace {

namespace fs = std::filesystem;

using kt::test::ReadBytes;
using kt::test::Utf8;

void UseTimeZone(const char* zone) {
  _putenv_s("TZ", zone);
  _tzset();
}

}  // namespace

// A file named in Chinese is created under that name, an existing one emptied, and the bytes
// land as given: line ends stay LF or CRLF as written, nothing is added.
TEST(OutputFiles, TakeChineseNamesAndKeepTheBytesAsWritten) {
  const fs::path folder = fs::temp_directory_path() / u8"kt7340_输出测试";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path file = folder / u8"报文记录.txt";
  {
    std::ofstream old(file, std::ios::binary);
    old << "an older and longer file that must go";
  }
  const std::string text = "收 01 03\n发 01 03\r\n\x1A end";
  {
    const kt::platform::OutputFile out(Utf8(file));
    ASSERT_TRUE(out.IsOpen()) << errno;
    EXPECT_TRUE(out.Write(text));
  }
  EXPECT_EQ(ReadBytes(file), text);
  fs::remove_all(folder);
}

// A folder that is not there: no descriptor, and the reason in Chinese.
TEST(OutputFiles, RefuseAMissingFolderWithItsReason) {
  const fs::path file = fs::temp_directory_path() / u8"kt7340_没有这个文件夹" / "a.csv";
  errno = 0;
  EXPECT_FALSE(kt::platform::OutputFile(Utf8(file)).IsOpen());
  EXPECT_EQ(kt::platform::FileErrorReason(errno), "文件夹不存在");
}

// The same moments as on Linux, in UTC and in China Standard Time.
TEST(LocalCalendar, FollowsTheTimeZoneInForce) {
  using kt::values::LocalTimeText;
  using kt::values::TimeFields;
  using std::chrono::milliseconds;
  using Time = std::chrono::system_clock::time_point;
  UseTimeZone("UTC0");
  EXPECT_EQ(LocalTimeText(Time(milliseconds(1767323045005)), TimeFields::DateAndTime),
            "2026-01-02T03:04:05.005");
  EXPECT_EQ(LocalTimeText(Time(milliseconds(1798761599999)), TimeFields::TimeOfDay),
            "23:59:59.999");
  UseTimeZone("CST-8");  // the date moves with the zone
  EXPECT_EQ(LocalTimeText(Time(milliseconds(1798761599999)), TimeFields::DateAndTime),
            "2027-01-01T07:59:59.999");
  UseTimeZone("UTC0");
}
