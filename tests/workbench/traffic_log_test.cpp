// The traffic log: each event's line and columns, the reads worth a line, port events, the date
// at a change of day, the bounded ring, pause, the filters, saving.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "Frames.h"
#include "values/LocalTimeText.h"
#include "workbench/TrafficLog.h"
#include "workbench/TrafficLogFilter.h"

using kt::testing::Bytes;
using kt::testing::WithCrc;
using kt::workbench::TrafficChoice;
using kt::workbench::TrafficKind;
using kt::workbench::TrafficLog;
using kt::workbench::TrafficLogFilter;

namespace {

using std::chrono::milliseconds;
using Time = std::chrono::system_clock::time_point;
using Numbers = std::vector<uint64_t>;

// 2026-01-02 03:04:05.678 UTC; the tests run with TZ=UTC unless they say otherwise.
const auto kTime = Time(milliseconds(1767323045678));

void UseZone(const char* zone) {
  setenv("TZ", zone, 1);
  tzset();
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TrafficLogTest : public ::testing::Test {
 protected:
  void SetUp() override { UseZone("UTC"); }
  void TearDown() override { UseZone("UTC"); }
  Time now = kTime;
  TrafficLog log{[this] { return now; }};

  void Read(const Bytes& bytes, uint8_t address, int length, bool awaited = true) {
    kt::values::ReadTaken read;
    read.bytes = bytes;
    read.address = address;
    read.function = 0x03;
    read.length = length;
    read.awaited = awaited;
    read.verdict = kt::modbus::CheckReply(bytes, address, 0x03, length);
    log.OnReadTaken(read);
  }
  void Send(uint8_t address, uint16_t reg) {
    log.OnFrameSent(kt::testing::ReadRequest(address, reg, 1));
  }
  void Event(kt::values::PortEventKind kind, const std::string& detail) {
    log.OnPortEvent({kind, detail});
  }
  std::string LastText() const { return log.Lines().back().Text(); }
  static Numbers Shown(const TrafficLogFilter& filter) { return filter.LogNumbers(); }
};

// Each event's line: time, direction, address, function, reading, then the bytes. Only an
// awaited read that brought nothing is a missed reply, bytes are always shown, and all but a
// whole reply are errors; a flood thrown away is one short line, the count and the first bytes
// only; port events say what happened, and faults are errors.
TEST_F(TrafficLogTest, EachEventIsOneLineWithItsReadingAndItsBytes) {
  using kt::values::PortEventKind;
  const Bytes reply = WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});
  Bytes badCrc = reply;
  badCrc.back() ^= 0xFF;
  const auto sent = [this](const Bytes& frame) {
    return [this, frame] { log.OnFrameSent(frame); };
  };
  const auto read = [this](const Bytes& bytes, bool awaited) {
    return [this, bytes, awaited] { Read(bytes, 1, 7, awaited); };
  };
  const auto flood = [this](size_t size) {
    return [this, size] {
      Bytes bytes(size);
      for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
      log.OnInputDiscarded(bytes);
    };
  };
  const auto event = [this](PortEventKind kind, const char* detail) {
    return [this, kind, detail] { Event(kind, detail); };
  };
  const std::string first16 = "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F";
  struct Case {
    std::function<void()> act;
    std::string text;  // after the time; empty: no line
    bool error;
  };
  // clang-format off
  const Case cases[] = {
      {sent(WithCrc({0x01, 0x03, 0x03, 0x00, 0x00, 0x13})),
       "发\t1\t03\t读 0x0300 ×19\t01 03 03 00 00 13 04 43", false},
      {sent(WithCrc({0xF7, 0x10, 0x00, 0x0E, 0x00, 0x02, 0x04, 0x00, 0x64, 0x00, 0x00})),
       "发\t247\t10\t写 0x000E ×2\tF7 10 00 0E 00 02 04 00 64 00 00 2E 77", false},
      {sent(WithCrc({0x00, 0x06, 0x00, 0x08, 0x00, 0x03})),
       "发\t0\t06\t写 0x0008 = 3\t00 06 00 08 00 03 49 D8", false},
      {read({}, false), "", false},
      {read({}, true), "收\t1\t03\t无应答", true},
      {read({0x55}, false), "收\t1\t03\t应答无效 (1 字节)\t55", true},
      {read(reply, true), "收\t1\t03\t应答 (7 字节)\t01 03 02 00 01 79 84", false},
      {read(badCrc, true), "收\t1\t03\t应答无效：CRC 错误\t01 03 02 00 01 79 7B", true},
      {flood(0), "", false},  // nothing pending
      {flood(15), "丢弃\t\t\t15 字节\t" + first16.substr(0, 15 * 3 - 1), true},
      {flood(16), "丢弃\t\t\t16 字节\t" + first16, true},
      {flood(17), "丢弃\t\t\t17 字节\t" + first16 + " …", true},
      {flood(32u << 20), "丢弃\t\t\t33554432 字节\t" + first16 + " …", true},
      {event(PortEventKind::NotOpen, "串口 /dev/ttyUSB0 没有访问权限"),
       "串口\t\t\t串口未打开：串口 /dev/ttyUSB0 没有访问权限", true},
      {event(PortEventKind::Opened, "/dev/ttyUSB0"), "串口\t\t\t串口已打开 /dev/ttyUSB0", false},
      {event(PortEventKind::Lost, "/dev/ttyUSB0"), "串口\t\t\t串口已断开 /dev/ttyUSB0", true},
      {event(PortEventKind::Reopened, "/dev/ttyUSB1"), "串口\t\t\t串口已重新打开 /dev/ttyUSB1", false},
      {event(PortEventKind::Stalled, "串口 tcp://127.0.0.1:5020 输出受阻"),
       "串口\t\t\t串口输出受阻：串口 tcp://127.0.0.1:5020 输出受阻", true},
      {event(PortEventKind::Closed, "/dev/ttyUSB1"), "串口\t\t\t串口已关闭 /dev/ttyUSB1", false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const uint64_t before = log.End();
    const uint64_t eventsBefore = log.EventCount();
    c.act();
    if (c.text.empty()) {
      EXPECT_EQ(log.End(), before);
      EXPECT_EQ(log.EventCount(), eventsBefore);
      continue;
    }
    ASSERT_EQ(log.End(), before + 1);
    EXPECT_EQ(LastText(), "03:04:05.678\t" + c.text);
    EXPECT_EQ(log.Lines().back().isError, c.error);
    EXPECT_LE(log.Lines().back().bytes.size(), 16u);
  }
}

// A date line comes first on a new local day: just before and at midnight, in two zones.
TEST_F(TrafficLogTest, ADayChangeWritesADateLine) {
  struct Case {
    const char* zone;
    int64_t lastMsOfDay;  // the day's last millisecond in that zone
    const char* newDay;
  };
  const Case cases[] = {
      {"UTC", 1767398399999, "2026-01-03"},    // 2026-01-02 23:59:59.999 UTC
      {"CST-8", 1767369599999, "2026-01-03"},  // 2026-01-02 15:59:59.999 UTC
  };
  for (const Case& c : cases) {
    UseZone(c.zone);
    TrafficLog dated{[this] { return now; }};
    now = Time(milliseconds(c.lastMsOfDay - 1));
    dated.OnInputDiscarded(Bytes{1});
    now = Time(milliseconds(c.lastMsOfDay));
    dated.OnInputDiscarded(Bytes{2});
    ASSERT_EQ(dated.Lines().size(), 2u) << c.zone;  // the same day: no date line
    now = Time(milliseconds(c.lastMsOfDay + 1));
    dated.OnInputDiscarded(Bytes{3});
    ASSERT_EQ(dated.Lines().size(), 4u) << c.zone;
    EXPECT_EQ(dated.Lines()[2].kind, TrafficKind::Date);
    EXPECT_EQ(dated.Lines()[2].Text(), std::string(c.newDay) + "\t日期");
    EXPECT_EQ(dated.Lines()[3].Text(), std::string("00:00:00.000\t丢弃\t\t\t1 字节\t03"));
    EXPECT_EQ(dated.EventCount(), 3u);  // a date is no event
  }
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
  EXPECT_EQ(small.First(), 2u);
  EXPECT_EQ(small.End(), 5u);
  EXPECT_EQ(small.Line(2).reading, "读 0x0002 ×1");
  EXPECT_EQ(small.Line(4).reading, "读 0x0004 ×1");
  // The errors with their requests: line 3 and its request, line 2; lines 0 and 1 are gone.
  TrafficLogFilter errors(small, {.errorsOnly = true});
  EXPECT_EQ(Shown(errors), (Numbers{2, 3}));
  EXPECT_EQ(errors.Line(errors.First() + 1).kind, TrafficKind::Discarded);
  // Copied a line of text each, a range past the lines shown cut to them.
  EXPECT_EQ(errors.Text(errors.First(), errors.End() + 5),
            small.Line(2).Text() + "\n" + small.Line(3).Text());
  kt::workbench::LogSelection picked;
  picked.Keep(errors.First(), errors.End());
  EXPECT_EQ(errors.SelectedText(picked), "");
  picked.Click(errors.First() + 1, false);
  EXPECT_EQ(errors.SelectedText(picked), small.Line(3).Text());

  small.SetPaused(true);
  small.OnFrameSent(WithCrc({1, 3, 0, 9, 0, 1}));
  EXPECT_EQ(small.Lines().back().reading, "读 0x0004 ×1");
  EXPECT_EQ(small.EventCount(), 6u);
  small.SetPaused(false);
  small.Clear();
  EXPECT_TRUE(small.Lines().empty());
  EXPECT_EQ(small.First(), 5u);
  EXPECT_EQ(errors.Text(0, errors.End()), "");  // the lines the log dropped are not copied
  errors.Update();
  EXPECT_EQ(errors.First(), errors.End());
  const uint64_t firstAfterClear = errors.End();
  small.OnInputDiscarded(noise);  // its request, line 4, was cleared
  EXPECT_TRUE(errors.Update());
  EXPECT_EQ(small.First(), 5u);
  EXPECT_EQ(Shown(errors), (Numbers{5}));
  EXPECT_EQ(errors.First(), firstAfterClear);
  EXPECT_EQ(errors.Line(firstAfterClear).reading, "1 字节");
}

// "只显示错误" keeps the request each error answers, so a timeout is tied to what asked; the
// address filter keeps one meter's lines and the lines of the line itself.
TEST_F(TrafficLogTest, FiltersKeepEachErrorsRequestAndOneAddress) {
  Send(1, 0x0300);                                      // 0
  Read(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01}), 1, 7);  // 1
  Send(2, 0x0300);                                      // 2
  log.OnInputDiscarded(Bytes{0xAA});                    // 3: dropped after sending 2
  Read({}, 2, 7);                                       // 4: its reply missed
  Send(1, 0x0322);                                      // 5
  Read({}, 1, 7);                                       // 6
  Send(1, 0x0328);                                      // 7: answered
  Read(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01}), 1, 7);  // 8

  TrafficLogFilter errors(log, {.errorsOnly = true});
  EXPECT_EQ(Shown(errors), (Numbers{2, 3, 4, 5, 6}));
  TrafficLogFilter meter1(log, {.address = 1});
  EXPECT_EQ(Shown(meter1), (Numbers{0, 1, 3, 5, 6, 7, 8}));
  TrafficLogFilter meter2Errors(log, {.errorsOnly = true, .address = 2});
  EXPECT_EQ(Shown(meter2Errors), (Numbers{2, 3, 4}));
  TrafficLogFilter meter3(log, {.address = 3});
  EXPECT_EQ(Shown(meter3), (Numbers{3}));

  // A port event between a request and its missed reply: the request goes before it, and the
  // filter says the shown lines moved.
  Send(2, 0x0000);                                    // 9
  Event(kt::values::PortEventKind::Stalled, "受阻");  // 10
  EXPECT_TRUE(errors.Update());
  EXPECT_EQ(Shown(errors), (Numbers{2, 3, 4, 5, 6, 10}));
  Read({}, 2, 95);  // 11
  EXPECT_FALSE(errors.Update());
  EXPECT_EQ(Shown(errors), (Numbers{2, 3, 4, 5, 6, 9, 10, 11}));
  EXPECT_TRUE(errors.Update());  // nothing new
}

TEST_F(TrafficLogTest, SavesTheShownLinesWithTheDateAndVersionFirst) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / "traffic_log_test";
  std::filesystem::create_directories(dir);
  log.OnFrameSent(WithCrc({0x01, 0x03, 0x03, 0x00, 0x00, 0x13}));
  Read({}, 1, 43);
  now = Time(milliseconds(1767398400000));  // 2026-01-03 00:00:00.000
  Read({}, 1, 43);
  TrafficLogFilter errors(log, {.errorsOnly = true});
  // Saving onto an older, longer file replaces all of it.
  {
    std::ofstream old(dir / "errors.txt", std::ios::binary);
    old << std::string(4096, 'x') << '\n';
  }
  ASSERT_EQ(log.SaveTo((dir / "errors.txt").string(), errors.LogNumbers()), "");
  // As the CSV is written: a byte-order mark and CRLF, for Notepad and Excel on Chinese Windows.
  EXPECT_EQ(FileText(dir / "errors.txt"),
            "\xEF\xBB\xBF日期 2026-01-02  程序 kt7340 " KT7340_VERSION
            "\r\n"
            "时间\t方向\t地址\t功能\t内容\t报文\r\n"
            "03:04:05.678\t发\t1\t03\t读 0x0300 ×19\t01 03 03 00 00 13 04 43\r\n"
            "03:04:05.678\t收\t1\t03\t无应答\r\n"
            "2026-01-03\t日期\r\n"
            "00:00:00.000\t收\t1\t03\t无应答\r\n");
  // Only the second day saved: its date comes first, and no date line repeats it.
  ASSERT_EQ(log.SaveTo((dir / "day2.txt").string(), {3}), "");
  EXPECT_EQ(FileText(dir / "day2.txt"),
            "\xEF\xBB\xBF日期 2026-01-03  程序 kt7340 " KT7340_VERSION
            "\r\n时间\t方向\t地址\t功能\t内容\t报文\r\n00:00:00.000\t收\t1\t03\t无应答\r\n");
  const std::string missing = (dir / "no-such-folder" / "x.txt").string();
  EXPECT_EQ(log.SaveTo(missing, {}), "无法保存 " + missing + "：文件夹不存在");
  EXPECT_EQ(log.SaveTo("/dev/full", {3}), "保存 /dev/full 失败：磁盘已满");
}

// Each way of writing the time, with single-digit fields and milliseconds that need padding.
TEST(LocalTimeText, PadsEveryField) {
  UseZone("UTC");
  using kt::values::LocalTimeText;
  using kt::values::TimeFields;
  struct Case {
    int64_t msSinceEpoch;
    const char* seconds;
    const char* timeOfDay;
    const char* dateAndTime;
  };
  const Case cases[] = {
      {1767323045005, "03:04:05", "03:04:05.005", "2026-01-02T03:04:05.005"},
      // The last millisecond of a day is not rounded up.
      {1798761599999, "23:59:59", "23:59:59.999", "2026-12-31T23:59:59.999"},
      // Before the epoch.
      {-1, "23:59:59", "23:59:59.999", "1969-12-31T23:59:59.999"},
  };
  for (const Case& c : cases) {
    const Time t{milliseconds(c.msSinceEpoch)};
    EXPECT_EQ(LocalTimeText(t, TimeFields::Seconds), c.seconds);
    EXPECT_EQ(LocalTimeText(t, TimeFields::TimeOfDay), c.timeOfDay);
    EXPECT_EQ(LocalTimeText(t, TimeFields::DateAndTime), c.dateAndTime);
  }
  UseZone("CST-8");  // China Standard Time: the date moves with the zone
  EXPECT_EQ(LocalTimeText(Time(milliseconds(1798761599999)), TimeFields::DateAndTime),
            "2027-01-01T07:59:59.999");
  UseZone("UTC");
}

}  // namespace
