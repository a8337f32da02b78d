// The traffic log: each event's line text, the bounded ring, pause, the error filter, saving.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Frames.h"
#include "workbench/TrafficLog.h"

using kt::testing::Bytes;
using kt::testing::WithCrc;
using kt::workbench::TrafficLog;

namespace {

// 2026-01-02 03:04:05.678 UTC; the tests run with TZ=UTC.
const auto kTime = std::chrono::system_clock::time_point(std::chrono::milliseconds(1767323045678));

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
  EXPECT_EQ(LastText(), "03:04:05.678 丢弃 AA 55  2 字节");

  ASSERT_EQ(log.Lines().size(), 4u);
  std::vector<std::string> errors;
  for (const auto* line : log.Visible(true)) errors.push_back(line->reading);
  EXPECT_EQ(errors, (std::vector<std::string>{"应答无效：CRC 错误", "无应答", "2 字节"}));
  EXPECT_EQ(log.Visible(false).size(), 4u);
}

TEST_F(TrafficLogTest, KeepsTheNewestLinesAndCountsWhilePaused) {
  TrafficLog small([] { return kTime; }, 3);
  int appended = 0;
  small.onLine = [&appended](const kt::workbench::TrafficLine&) { ++appended; };
  for (uint8_t i = 0; i < 5; ++i) small.OnFrameSent(WithCrc({1, 3, 0, i, 0, 1}));
  ASSERT_EQ(small.Lines().size(), 3u);
  EXPECT_EQ(small.Lines().front().reading, "读 0x0002 ×1");
  EXPECT_EQ(small.Lines().back().reading, "读 0x0004 ×1");

  small.SetPaused(true);
  small.OnFrameSent(WithCrc({1, 3, 0, 9, 0, 1}));
  EXPECT_EQ(small.Lines().back().reading, "读 0x0004 ×1");
  EXPECT_EQ(small.EventCount(), 6u);
  EXPECT_EQ(appended, 5);
  small.Clear();
  EXPECT_TRUE(small.Lines().empty());
}

TEST_F(TrafficLogTest, SavesTheShownLinesAsUtf8TextOrSaysWhyNot) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / "traffic_log_test";
  std::filesystem::create_directories(dir);
  log.OnFrameSent(WithCrc({0x01, 0x03, 0x03, 0x00, 0x00, 0x13}));
  Read({}, 1, 43);
  ASSERT_EQ(log.SaveTo((dir / "errors.txt").string(), true), "");
  std::ifstream in(dir / "errors.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "03:04:05.678 收  无应答\n");
  const std::string missing = (dir / "no-such-folder" / "x.txt").string();
  EXPECT_EQ(log.SaveTo(missing, false), "无法保存 " + missing + "：文件夹不存在");
}

}  // namespace
