// The traffic log: each event's line text, the bounded ring, pause, the error filter, saving.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Frames.h"
#include "ui/LocalTimeText.h"
#include "workbench/TrafficLog.h"

using kt::testing::Bytes;
using kt::testing::WithCrc;
using kt::workbench::TrafficLog;

namespace {

using std::chrono::milliseconds;
using Time = std::chrono::system_clock::time_point;

// 2026-01-02 03:04:05.678 UTC; the tests run with TZ=UTC.
const auto kTime = Time(milliseconds(1767323045678));

class TrafficLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
  TrafficLog log{[] { return kTime; }};

  void Read(const Bytes& bytes, uint8_t address, int length) {
    kt::ui::ReadTaken read;
    read.bytes = bytes;
    read.address = address;
    read.function = 0x03;
    read.length = length;
    read.verdict = kt::modbus::CheckReply(bytes, address, 0x03, length);
    log.OnReadTaken(read);
  }
  std::string LastText() const { return log.Lines().back().Text(); }
};

TEST_F(TrafficLogTest, RequestsReadAsTheirRegisters) {
  struct Case {
    Bytes frame;
    const char* text;
  };
  const Case cases[] = {
      {WithCrc({0x01, 0x03, 0x03, 0x00, 0x00, 0x13}),
       "03:04:05.678 发 01 03 03 00 00 13 04 43  读 0x0300 ×19"},
      {WithCrc({0x01, 0x10, 0x00, 0x0E, 0x00, 0x02, 0x04, 0x00, 0x64, 0x00, 0x00}),
       "03:04:05.678 发 01 10 00 0E 00 02 04 00 64 00 00 33 FC  写 0x000E ×2"},
      {WithCrc({0x00, 0x06, 0x00, 0x08, 0x00, 0x03}),
       "03:04:05.678 发 00 06 00 08 00 03 49 D8  写 0x0008 = 3"},
  };
  for (const Case& c : cases) {
    log.OnFrameSent(c.frame);
    EXPECT_EQ(LastText(), c.text);
    EXPECT_FALSE(log.Lines().back().isError);
  }
}

TEST_F(TrafficLogTest, ReadsAndDiscardsCarryTheirVerdictAndErrorsAreMarked) {
  const Bytes reply = WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});
  Read(reply, 1, 7);
  EXPECT_EQ(LastText(), "03:04:05.678 收 01 03 02 00 01 79 84  应答 (7 字节)");
  Bytes bad = reply;
  bad.back() ^= 0xFF;
  Read(bad, 1, 7);
  EXPECT_EQ(log.Lines().back().reading, "应答无效：CRC 错误");
  Read({}, 1, 7);
  EXPECT_EQ(LastText(), "03:04:05.678 收  无应答");
  log.OnInputDiscarded(Bytes{});  // nothing pending: no line
  log.OnInputDiscarded(Bytes{0xAA, 0x55});
  EXPECT_EQ(LastText(), "03:04:05.678 丢弃 2 字节  AA 55");

  ASSERT_EQ(log.Lines().size(), 4u);
  std::vector<std::string> errors;
  for (const auto* line : log.Visible(true)) errors.push_back(line->reading);
  EXPECT_EQ(errors, (std::vector<std::string>{"应答无效：CRC 错误", "无应答", "2 字节"}));
  EXPECT_EQ(log.Visible(false).size(), 4u);
}

// A flood thrown away is one short line: the count, and the first bytes only.
TEST_F(TrafficLogTest, ADiscardShowsItsCountAndAtMostItsFirstBytes) {
  const std::string first16 = " 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F";
  struct Case {
    size_t size;
    std::string text;
  };
  const Case cases[] = {
      {15, "03:04:05.678 丢弃 15 字节 " + first16.substr(0, 15 * 3)},
      {16, "03:04:05.678 丢弃 16 字节 " + first16},
      {17, "03:04:05.678 丢弃 17 字节 " + first16 + " …"},
      {32u << 20, "03:04:05.678 丢弃 33554432 字节 " + first16 + " …"},
  };
  for (const Case& c : cases) {
    Bytes flood(c.size);
    for (size_t i = 0; i < flood.size(); ++i) flood[i] = static_cast<uint8_t>(i);
    log.OnInputDiscarded(flood);
    EXPECT_EQ(LastText(), c.text);
    EXPECT_LE(log.Lines().back().bytes.size(), 16u);
  }
}

// Each way of writing the time, with single-digit fields and milliseconds that need padding.
TEST(LocalTimeText, PadsEveryField) {
  setenv("TZ", "UTC", 1);
  tzset();
  using kt::ui::LocalTimeText;
  using kt::ui::TimeFields;
  struct Case {
    int64_t msSinceEpoch;
    const char* seconds;
    const char* timeOfDay;
    const char* dateAndTime;
  };
  const Case cases[] = {
      // 2026-01-02 03:04:05.005
      {1767323045005, "03:04:05", "03:04:05.005", "2026-01-02T03:04:05.005"},
      // 2026-03-09 09:08:07.050
      {1773047287050, "09:08:07", "09:08:07.050", "2026-03-09T09:08:07.050"},
      // 2026-12-31 23:59:59.999: the last millisecond of a day is not rounded up
      {1798761599999, "23:59:59", "23:59:59.999", "2026-12-31T23:59:59.999"},
      // 1969-12-31 23:59:59.999, before the epoch
      {-1, "23:59:59", "23:59:59.999", "1969-12-31T23:59:59.999"},
  };
  for (const Case& c : cases) {
    const Time t{milliseconds(c.msSinceEpoch)};
    EXPECT_EQ(LocalTimeText(t, TimeFields::Seconds), c.seconds);
    EXPECT_EQ(LocalTimeText(t, TimeFields::TimeOfDay), c.timeOfDay);
    EXPECT_EQ(LocalTimeText(t, TimeFields::DateAndTime), c.dateAndTime);
  }
  setenv("TZ", "CST-8", 1);  // China Standard Time: the date moves with the zone
  tzset();
  EXPECT_EQ(LocalTimeText(Time(milliseconds(1798761599999)), TimeFields::DateAndTime),
            "2027-01-01T07:59:59.999");
  setenv("TZ", "UTC", 1);
  tzset();
}

TEST_F(TrafficLogTest, KeepsTheNewestLinesNumberedForGoodAndCountsWhilePaused) {
  TrafficLog small([] { return kTime; }, 3);
  Bytes noise{0x55};
  // Lines 0..4: sent, error, sent, error, sent.
  for (uint8_t i = 0; i < 5; ++i) {
    if (i % 2 == 0) {
      small.OnFrameSent(WithCrc({1, 3, 0, i, 0, 1}));
    } else {
      small.OnInputDiscarded(noise);
    }
  }
  ASSERT_EQ(small.Lines().size(), 3u);
  EXPECT_EQ(small.First(false), 2u);
  EXPECT_EQ(small.End(false), 5u);
  EXPECT_EQ(small.Line(2, false).reading, "读 0x0002 ×1");
  EXPECT_EQ(small.Line(4, false).reading, "读 0x0004 ×1");
  // Errors are numbered on their own: the first (line 1) was dropped, the second (line 3) kept.
  EXPECT_EQ(small.First(true), 1u);
  EXPECT_EQ(small.End(true), 2u);
  EXPECT_EQ(small.Line(1, true).kind, kt::workbench::TrafficKind::Discarded);
  EXPECT_EQ(small.Visible(true).size(), 1u);

  small.SetPaused(true);
  small.OnFrameSent(WithCrc({1, 3, 0, 9, 0, 1}));
  EXPECT_EQ(small.Lines().back().reading, "读 0x0004 ×1");
  EXPECT_EQ(small.EventCount(), 6u);
  small.SetPaused(false);
  small.Clear();
  EXPECT_TRUE(small.Lines().empty());
  EXPECT_EQ(small.First(false), 5u);
  EXPECT_EQ(small.End(true), 2u);
  small.OnInputDiscarded(noise);
  EXPECT_EQ(small.First(false), 5u);
  EXPECT_EQ(small.First(true), 2u);
  EXPECT_EQ(small.Line(2, true).reading, "1 字节");
}

TEST_F(TrafficLogTest, SavesTheShownLinesAsUtf8TextOrSaysWhyNot) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / "traffic_log_test";
  std::filesystem::create_directories(dir);
  log.OnFrameSent(WithCrc({0x01, 0x03, 0x03, 0x00, 0x00, 0x13}));
  Read({}, 1, 43);
  // Saving onto an older, longer file replaces all of it.
  {
    std::ofstream old(dir / "errors.txt", std::ios::binary);
    old << std::string(4096, 'x') << '\n';
  }
  ASSERT_EQ(log.SaveTo((dir / "errors.txt").string(), true), "");
  std::ifstream in(dir / "errors.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "2026-01-02T03:04:05.678 收  无应答\n");
  const std::string missing = (dir / "no-such-folder" / "x.txt").string();
  EXPECT_EQ(log.SaveTo(missing, false), "无法保存 " + missing + "：文件夹不存在");
}

}  // namespace
